#include "tavrin/QtPrinter.h"

#include "ostrel/RuntimeError.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>

namespace tavrin {

namespace {
[[noreturn]] void printerError(const QString& what) {
    throw ostrel::RuntimeError::printer(what);
}
}  // namespace

bool QtPrinter::printerInstalled() { return !QPrinterInfo::availablePrinters().isEmpty(); }

std::shared_ptr<QtPrinter> QtPrinter::systemDefault() {
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const auto all = QPrinterInfo::availablePrinters();
        if (all.isEmpty()) return nullptr;
        info = all.first();
    }
    return std::make_shared<QtPrinter>(std::make_unique<QPrinter>(info, QPrinter::HighResolution));
}

std::shared_ptr<QtPrinter> QtPrinter::pdf(const QString& fileName) {
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setOutputFormat(QPrinter::PdfFormat);
    p->setOutputFileName(fileName);
    p->setPageSize(QPageSize(QPageSize::A4));
    // The margins of a typical laser printer, so a PDF is laid out as the paper would be.
    p->setPageMargins(QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter);
    return std::make_shared<QtPrinter>(std::move(p));
}

QtPrinter::QtPrinter(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {
    orientation_ = printer_->pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
}

QtPrinter::~QtPrinter() {
    if (painter_ && painter_->isActive()) painter_->end();
}

void QtPrinter::setFontSize(double points) {
    if (!(points > 0)) printerError(QStringLiteral("font size"));
    fontSize_ = points;
}

void QtPrinter::setOrientation(int orientation) {
    if (orientation != 1 && orientation != 2) printerError(QStringLiteral("orientation"));
    orientation_ = orientation;
    // Outside a document it applies at once; within one, from the next page on (beginDrawing).
    if (!painter_ || !painter_->isActive())
        printer_->setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

QFont QtPrinter::font() const {
    QFont f(fontName_);
    f.setPointSizeF(fontSize_);
    return f;
}

void QtPrinter::beginDrawing() {
    const auto wanted = orientation_ == 2 ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (!painter_ || !painter_->isActive()) {
        printer_->setPageOrientation(wanted);
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(printer_.get())) {
            painter_.reset();
            printerError(DeviceName());
        }
        dotsPerTwip_ = printer_->resolution() / 1440.0;
        pages_ = 1;
        pageOpen_ = true;
        breakPending_ = false;
        return;
    }
    if (breakPending_) {
        if (printer_->pageLayout().orientation() != wanted) printer_->setPageOrientation(wanted);
        if (!printer_->newPage()) printerError(DeviceName());
        ++pages_;
        breakPending_ = false;
    }
    pageOpen_ = true;
}

void QtPrinter::Rectangle(double x1, double y1, double x2, double y2) {
    beginDrawing();
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, px(drawWidth_ * 15.0)));  // one unit is one screen pixel
    painter_->setPen(pen);
    painter_->setBrush(Qt::NoBrush);
    painter_->drawRect(QRectF(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2))).normalized());
}

void QtPrinter::Print(const QString& text) {
    beginDrawing();
    const QFont f = font();
    painter_->setFont(f);
    painter_->setPen(Qt::black);
    QFontMetricsF m(f, printer_.get());
    const double baseline = px(y_) + m.ascent();
    // Each run between spaces is drawn at its own place: the embedded coding font's space glyph
    // reads back as U+0001, while a gap reads back as the space it is.
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == QLatin1Char(' ')) {
            ++i;
            continue;
        }
        qsizetype stop = text.indexOf(QLatin1Char(' '), i);
        if (stop < 0) stop = text.size();
        painter_->drawText(QPointF(px(x_) + m.horizontalAdvance(text.left(i)), baseline), text.mid(i, stop - i));
        i = stop;
    }
    x_ = 0;
    y_ += m.height() / dotsPerTwip_;
}

void QtPrinter::NewPage() {
    if (pageOpen_) breakPending_ = true;
    pageOpen_ = false;
    x_ = y_ = 0;
}

void QtPrinter::EndDoc() {
    if (painter_ && painter_->isActive() && !painter_->end()) {
        painter_.reset();
        printerError(DeviceName());
    }
    painter_.reset();
    pageOpen_ = breakPending_ = false;
}

void QtPrinter::KillDoc() {
    if (painter_ && painter_->isActive()) {
        printer_->abort();
        painter_->end();
    }
    painter_.reset();
    pageOpen_ = breakPending_ = false;
}

QString QtPrinter::DeviceName() const {
    if (printer_->outputFormat() == QPrinter::PdfFormat) return printer_->outputFileName();
    return printer_->printerName();
}

}  // namespace tavrin
