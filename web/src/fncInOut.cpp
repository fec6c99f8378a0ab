#include "corvane/fncInOut.h"

#include "corvane/ValueText.h"

#include "ostrel/Cp949.h"
#include "ostrel/TrimSpaces.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/clsTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using ostrel::RuntimeError;
using ostrel::trimSpaces;
using ostrel::Variant;

namespace corvane {

namespace {



// Lines end only at CR LF; a text ending in CR LF has no empty last line.
template <class F> void forEachLine(QStringView text, F&& f) {
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf(u"\r\n", pos);
        if (end < 0) end = text.size();
        f(text.mid(pos, end - pos));
        pos = end + 2;
    }
}

std::shared_ptr<ostrel::clsTable> splitText(const QString& sText, int nof, QChar separator, bool csv) {
    auto table = std::make_shared<ostrel::clsTable>();
    table->setNOF(nof);
    forEachLine(sText, [&](QStringView line) {
        table->AppendBlank();
        qsizetype start = 0;
        int j = 0;
        // An empty line splits into no parts at all: its fields stay empty.
        for (; j < nof && !line.isEmpty() && start <= line.size(); ++j) {
            qsizetype sep = line.indexOf(separator, start);
            if (sep < 0) sep = line.size();
            QStringView part = line.mid(start, sep - start);
            table->setFields(j, (csv ? trimSpaces(part) : part).toString());
            start = sep + 1;
        }
        if (csv)
            for (; j < nof; ++j) table->setFields(j, QString());
    });
    return table;
}

}  // namespace

Variant fncInOut::string2value(const QString& valuestring, int valuetype) const {
    return StringToValue(valuestring, valuetype);
}

QString fncInOut::value2string(const Variant& vValue) const { return ValueToString(vValue); }

Variant fncInOut::ArrayElement(const ostrel::VArray& a, int i, int valuetype) const {
    if (i > a.upper()) return {};
    return StringToValue(a.at(i).toString(), valuetype);
}

std::shared_ptr<ostrel::clsTable> fncInOut::Tabtext2Jarray(const QString& sText, int NOF) const {
    return splitText(sText, NOF, u'\t', false);
}

std::shared_ptr<ostrel::clsTable> fncInOut::CSVtext2Jarray(const QString& sText, int NOF) const {
    return splitText(sText, NOF, u',', true);
}

QString fncInOut::Jarray2Tabtext(ostrel::clsTable& a) const {
    const int nof = a.NOF();
    QString s;
    a.MoveFirst();
    while (!a.isEOF()) {
        for (int j = 0; j < nof; ++j) {
            s += a.fieldRef(j).isNull() ? QString() : a.fieldRef(j).toString();
            s += j + 1 < nof ? QLatin1String("\t") : QLatin1String("\r\n");
        }
        a.MoveNext();
    }
    return s;
}

void fncInOut::SaveString(const QString& s, const QString& f) const {
    // Written aside and renamed over the old file at the end, so a failure never leaves it half
    // written.
    QSaveFile file(f);
    if (!QFileInfo(f).absoluteDir().exists())
        throw RuntimeError::pathNotFound(f);
    if (!file.open(QIODevice::WriteOnly))
        throw RuntimeError::pathFileAccess(f);
    const QByteArray bytes = ostrel::cp949::encode(QString(s + QLatin1String("\r\n")));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw RuntimeError::pathFileAccess(f);
}

QString fncInOut::LoadString(const Variant& f) const {
    const QString name = f.toString();
    QFile file(name);
    if (!QFileInfo(name).isFile()) throw RuntimeError::fileNotFound(name);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError::pathFileAccess(name);
    return ostrel::cp949::decode(file.readAll());
}

}  // namespace corvane
