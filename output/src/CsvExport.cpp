#include "tavrin/CsvExport.h"

#include "Messages.h"
#include "ostrel/MessageBox.h"
#include "ostrel/Cp949.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/clsWaitMessage.h"
#include "tavrin/panCommonDialog.h"
#include "tessel/Stru.h"

#include <QFileInfo>
#include <QSaveFile>

namespace tavrin {

using ostrel::Variant;
using ostrel::VarType;

namespace {

void appendValue(QString& out, const Variant& v, int depth = 0) {
    switch (v.type()) {
    case VarType::Empty:
        return;
    case VarType::Null:
        out += QStringLiteral("#NULL#");
        return;
    case VarType::Boolean:
        out += v.toBool() ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#");
        return;
    case VarType::Date:
        out += QLatin1Char('#') + v.toString() + QLatin1Char('#');
        return;
    case VarType::String: {
        // Doubled inner quotes keep the line balanced, so a spreadsheet reads the text back whole.
        QString s = *v.stringIf();
        s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        out += QLatin1Char('"') + s + QLatin1Char('"');
        return;
    }
    case VarType::Object:
        if (depth < 4 && v.toObject()) {
            appendValue(out, v.toObject()->defaultValue(), depth + 1);
            return;
        }
        throw ostrel::RuntimeError::typeMismatch(QStringLiteral("object"));
    case VarType::Array:
        throw ostrel::RuntimeError::typeMismatch(QStringLiteral("array"));
    default:  // the numbers: their standard text, "." and no grouping
        out += v.toString();
        return;
    }
}

QString createError(const QString& path) {
    return QStringLiteral("CSV 파일을 만들 수 없습니다.\n\n%1\n\n폴더가 있는지, 쓸 수 있는 곳인지, "
                          "다른 프로그램(엑셀 등)에서 그 파일을 열어 두지 않았는지 확인하세요.")
        .arg(path);
}

QString writeError(const QString& path) {
    return QStringLiteral("CSV 파일을 쓰지 못했습니다.\n\n%1\n\n디스크에 빈 공간이 있는지, "
                          "다른 프로그램(엑셀 등)에서 그 파일을 열어 두지 않았는지 확인하세요.")
        .arg(path);
}

}  // namespace

QByteArray WriteListLine(const QList<Variant>& values) {
    QString line;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0) line += QLatin1Char(',');
        appendValue(line, values[i]);
    }
    line += QStringLiteral("\r\n");
    return ostrel::cp949::encode(line);
}

bool WriteCsvFile(const QString& path, const QString& subject, const Variant& descr, const ostrel::TableRef& table,
                  const Variant& stru, QString* error) {
    const std::vector<tessel::FieldDef> cols = tessel::readStru(stru);
    auto fail = [&](const QString& text) {
        if (error) *error = text;
        return false;
    };

    QFileInfo info(path);
    if (info.isDir() || (info.exists() && !info.isWritable())) return fail(createError(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(createError(path));

    QByteArray out = WriteListLine({Variant(subject)});
    if (const ostrel::VArray* a = descr.arrayIf())
        out += WriteListLine(QList<Variant>(a->items.begin(), a->items.end()));
    else if (descr.isString())
        out += WriteListLine({descr});
    else
        out += "\r\n";
    QList<Variant> titles;
    for (const auto& c : cols) titles << Variant(c.title);
    out += WriteListLine(titles);

    QList<Variant> record(static_cast<qsizetype>(cols.size()));
    if (table) {
        table->MoveFirst();
        while (!table->isEOF()) {
            for (size_t j = 0; j < cols.size(); ++j) record[j] = table->Fields(static_cast<int>(j));
            out += WriteListLine(record);
            if (out.size() >= (1 << 16)) {
                if (file.write(out) != out.size()) return fail(writeError(path));
                out.clear();
            }
            table->MoveNext();
        }
    }
    if (file.write(out) != out.size() || !file.commit()) return fail(writeError(path));
    return true;
}

bool ExportCsv(const QString& subject, const Variant& descr, const ostrel::TableRef& table, const Variant& stru) {
    QString fileName = subject;
    if (!panCommonDialog().CsvFileSave(fileName)) return false;
    ostrel::clsWaitMessage wait;
    wait.setCaption(QStringLiteral("CSV 파일 내보내는 중"));
    QString error;
    bool written = false;
    try {
        written = WriteCsvFile(fileName, subject, descr, table, stru, &error);
    } catch (const ostrel::RuntimeError& e) {
        error = detail::runtimeErrorText(e);
    }
    if (!written) {
        ostrel::showMessage(error);
        return false;
    }
    ostrel::showMessage(QStringLiteral("CSV 파일 내보내기 완료"));
    return true;
}

}  // namespace tavrin
