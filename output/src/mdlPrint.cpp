#include "tavrin/mdlPrint.h"

#include "Messages.h"
#include "ostrel/MessageBox.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/fncDate.h"
#include "ostrel/fncNumber.h"
#include "ostrel/fncString.h"
#include "sembrin/Settings.h"
#include "sembrin/pptPublicValue.h"
#include "tavrin/Printer.h"
#include "tavrin/QtPrinter.h"
#include "tessel/Stru.h"

#include "tavrin/panCommonDialog.h"

#include <QStringList>
#include <cmath>

namespace tavrin {

using ostrel::RuntimeError;
using ostrel::Variant;

namespace {

PrinterRef& configuredPrinter() {
    static PrinterRef p;
    return p;
}

// The printer of the report being printed; PrintCell draws on it.
PrinterRef& jobPrinter() {
    static PrinterRef p;
    return p;
}

struct JobScope {
    explicit JobScope(PrinterRef p) { jobPrinter() = std::move(p); }
    ~JobScope() { jobPrinter().reset(); }
};

// Halves to the even neighbour.
double roundEven(double v) { return std::nearbyint(v); }

int checked16(double v) {
    if (v < -32768 || v > 32767) throw RuntimeError::overflow();
    return static_cast<int>(v);
}

// The system printer, or a PDF file named after the report when the system has none (its path
// in `pdfPath`).
PrinterRef printerForJob(const QString& subject, QString& pdfPath) {
    if (PrinterRef p = configuredPrinter()) return p;
    if (auto p = QtPrinter::systemDefault()) return p;
    ostrel::showMessage(QStringLiteral("설치된 프린터가 없습니다.\n\n인쇄할 내용을 PDF 파일로 저장합니다. 파일 이름을 지정하세요."));
    QString name = subject;
    if (!panCommonDialog().PdfFileSave(name)) return nullptr;
    pdfPath = name;
    return QtPrinter::pdf(name);
}

double sizeForWidth(int w, bool landscape) {
    if (!landscape) {
        if (w <= 96) return 11;
        if (w <= 105) return 10;
        if (w <= 118) return 9;
        if (w <= 135) return 8;
        return 7;
    }
    if (w <= 134.4) return 11;
    if (w <= 147) return 10;
    if (w <= 165.2) return 9;
    if (w <= 189) return 8;
    return 7;
}

QString cellText(const Variant& v, const tessel::FieldDef& col) {
    if (col.kind == tessel::FieldType::Text) return v.toString();
    if (col.kind == tessel::FieldType::Number)
        return v.isString() ? *v.stringIf() : ostrel::fncNumber().fdnc(v, col.width, col.dec);
    if (col.kind == tessel::FieldType::Date) {
        QString text = ostrel::fncDate().DtoC(v);
        // A short date column shows the month and day only.
        return col.width <= 5 ? text.right(std::max(0, col.width)) : text;
    }
    return QString();
}

}  // namespace

void setCurrentPrinter(PrinterRef printer) { configuredPrinter() = std::move(printer); }
PrinterRef currentPrinter() { return configuredPrinter(); }

QString joindescr(const Variant& vDescr) {
    if (const ostrel::VArray* a = vDescr.arrayIf()) {
        QStringList parts;
        for (const Variant& e : a->items) {
            if (e.isDate()) parts << ostrel::fncDate().DtoC(e);
            else if (e.isNull() || e.isArray()) parts << QString();
            else parts << e.toString();
        }
        return parts.join(QStringLiteral("  "));
    }
    if (const QString* s = vDescr.stringIf()) return *s;
    return QString();
}

void PrintCell(int x, int y, int width, int height, const QString& text, double fontsize, const QString& align) {
    PrinterRef printer = jobPrinter() ? jobPrinter() : configuredPrinter();
    if (!printer) throw RuntimeError(ostrel::err::Printer, QStringLiteral("No printer"));
    Printer& p = *printer;
    x = checked16(x), y = checked16(y), width = checked16(width), height = checked16(height);

    const QString a = align.toUpper();
    const double saved = p.FontSize();
    bool changed = false;
    if (fontsize != 0) {
        p.setFontSize(fontsize);
        changed = true;
    }
    double size = p.FontSize();
    const int pad = a.contains(QLatin1Char('T')) ? 0 : static_cast<int>(roundEven(size * 5));
    const int bytes = ostrel::fncString().lenDB(text);
    if (width == 0) {
        const double w = roundEven(bytes * size * 10 + 2 * pad);
        width = w >= 32768 ? 32676 : static_cast<int>(w);
    }
    if (height == 0) height = static_cast<int>(roundEven(size * 24));
    if (bytes > 0 && bytes * size * 10 + 2 * pad > width) {
        double s = (width - 2.0 * pad) / bytes / 10;
        // The epsilon keeps 5.52 from flooring to 5.40 through binary rounding.
        s = std::floor(s * 100 / 12 + 1e-9) * 12 / 100;
        size = s < 0.12 ? 0.12 : s;
        p.setFontSize(size);
        changed = true;
    }
    if (a.contains(QLatin1Char('B'))) {
        const int w = p.DrawWidth();
        p.setDrawWidth(1);
        p.Rectangle(x, y, x + width, y + height);
        p.setDrawWidth(w);
    }
    const double textWidth = bytes * size * 10;
    double tx;
    if (a.contains(QLatin1Char('L'))) tx = x + pad;
    else if (a.contains(QLatin1Char('C'))) tx = x + width / 2.0 - textWidth / 2;
    else if (a.contains(QLatin1Char('R'))) tx = x + width - (textWidth + pad);
    else tx = x + pad;
    p.setCurrentX(tx);
    p.setCurrentY(y + height / 2.0 - size * 20 / 2);
    p.Print(text);
    if (changed) p.setFontSize(saved);
}

ReportGeometry reportGeometry(const Variant& stru, bool landscape, bool largeLetters, bool divideby5) {
    const std::vector<tessel::FieldDef> cols = tessel::readStru(stru);
    ReportGeometry g;
    if (largeLetters) landscape = true;
    if (largeLetters) {
        g.topMargin = 500, g.leftMargin = 900, g.lineHeight = 365, g.rowsPerPage = divideby5 ? 20 : 25;
    } else if (landscape) {
        g.topMargin = 500, g.leftMargin = 900, g.lineHeight = 300, g.rowsPerPage = divideby5 ? 25 : 30;
    } else {
        g.topMargin = 900, g.leftMargin = 600, g.lineHeight = 300, g.rowsPerPage = divideby5 ? 35 : 40;
    }
    for (const auto& c : cols) g.width += c.width + 1;
    // Large letters on a narrow report: 1.4 times the size the width would give otherwise.
    g.fontSize = largeLetters && g.width <= 96 ? 11 * 1.4 : sizeForWidth(g.width, landscape);
    double x = g.leftMargin;
    for (size_t i = 0; i < cols.size(); ++i) {
        if (i > 0) x = roundEven(x + (cols[i - 1].width + 1) * g.fontSize * 10.1);
        g.columnX << checked16(x);
        g.boxWidth << checked16(roundEven(cols[i].width * g.fontSize * 10));
    }
    return g;
}

void PrintReport(const QString& subject, const Variant& descr, const ostrel::TableRef& table, const Variant& stru,
                 const QString& registrationNumber, const QString& companyName, const QString& telephone,
                 bool divideby5, bool& landscape) {
    const Variant large = sembrin::pptPublicValue().inisetting(sembrin::setting::LargeLetterPrint());
    const bool largeLetters = large.isString() && large.stringIf()->toUpper() == QLatin1String("TRUE");
    if (largeLetters) landscape = true;

    const int records = table ? table->RecCount() : 0;
    if (records == 0) {
        ostrel::showMessage(QStringLiteral("인쇄할 내용이 없습니다."));
        return;
    }

    PrinterRef printer;
    try {
        const std::vector<tessel::FieldDef> cols = tessel::readStru(stru);
        const ReportGeometry g = reportGeometry(stru, landscape, largeLetters, divideby5);
        QString pdfPath;
        printer = printerForJob(subject, pdfPath);
        if (!printer) return;  // the user cancelled the PDF file name
        JobScope job(printer);
        Printer& p = *printer;
        const ostrel::fncNumber number;
        const int R = g.rowsPerPage, h = g.lineHeight, left = g.leftMargin;
        const int pages = (records - 1) / R + 1;
        const QString doubleRule(g.width, QLatin1Char('=')), singleRule(g.width, QLatin1Char('-')),
            dots(g.width, QLatin1Char('.'));
        const QString pageTotal = number.fdn(Variant(int32_t(pages)), 3, 0);
        const QString footer =
            registrationNumber + QStringLiteral("  ") + companyName + QStringLiteral("  ") + telephone;
        const QString description = joindescr(descr);

        p.setFontName(QStringLiteral("굴림체"));
        p.setFontSize(g.fontSize);
        if (landscape) p.setOrientation(2);
        for (int q = 0; q < pages; ++q) {
            const int y0 = g.topMargin;
            PrintCell(left, y0, 0, 0,
                      subject + QStringLiteral(" (") + number.fdn(Variant(int32_t(q + 1)), 3, 0) +
                          QStringLiteral(" / ") + pageTotal + QStringLiteral(")"),
                      0, QString());
            PrintCell(left, y0 + h, 0, 0, description, 0, QString());
            PrintCell(left, y0 + 2 * h, 0, 0, doubleRule, 0, QString());
            for (size_t i = 0; i < cols.size(); ++i) {
                const tessel::FieldType t = cols[i].kind;
                const bool right = t == tessel::FieldType::Number || t == tessel::FieldType::Date;
                PrintCell(g.columnX[i], y0 + 3 * h, g.boxWidth[i], 0, cols[i].title, g.fontSize,
                          right ? QStringLiteral("RT") : QStringLiteral("LT"));
            }
            PrintCell(left, y0 + 4 * h, 0, 0, singleRule, 0, QString());
            int y = y0 + 5 * h;
            for (int r = 0; r < R; ++r) {
                const int k = q * R + r;
                if (k >= records) break;  // slots past the last record print nothing
                for (size_t c = 0; c < cols.size(); ++c) {
                    const int field = static_cast<int>(c);
                    const Variant v = field < table->NOF() ? table->Cell(k, field) : Variant();
                    PrintCell(g.columnX[c], y, g.boxWidth[c], h, cellText(v, cols[c]), g.fontSize,
                              QStringLiteral("T"));
                }
                y += h;
                if (divideby5 && (r + 1) % 5 == 0 && r + 1 != R) {
                    PrintCell(left, y, 0, 0, dots, g.fontSize, QString());
                    y += h;
                }
            }
            PrintCell(left, y, 0, 0, doubleRule, 0, QString());
            y += h;
            PrintCell(left, y, 0, 0, footer, 0, QString());
            p.NewPage();
        }
        p.EndDoc();
        if (landscape) p.setOrientation(1);
        if (!pdfPath.isEmpty()) ostrel::showMessage(QStringLiteral("PDF 파일로 저장했습니다.\n\n") + pdfPath);
    } catch (const std::exception& e) {
        QString device;
        if (printer) {
            // Drop the half-printed document and leave the printer upright for the next report.
            try {
                device = printer->DeviceName();
                printer->KillDoc();
                if (printer->Orientation() != 1) printer->setOrientation(1);
            } catch (const std::exception&) {
            }
        }
        const auto* error = dynamic_cast<const RuntimeError*>(&e);
        if (error && error->number() == ostrel::err::Printer)
            ostrel::showMessage(QStringLiteral("프린터 오류가 발생하여 프린트를 완료하지 못했습니다.\n\n현재 지정된 프린터는 '") +
                                device + QStringLiteral("' 입니다."));
        else
            detail::showRuntimeError(e);
    }
}

}  // namespace tavrin
