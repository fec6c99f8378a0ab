#include "PriceCsv.h"

#include "Wire.h"

#include <ostrel/Cp949.h>

#include <QStringDecoder>
#include <QStringList>
#include <stdexcept>
#include <string>

namespace vendra::server {

namespace {

// CSV fields of one line; quotes allow commas and doubled quotes inside a field.
QStringList splitCsvLine(const QString& line) {
    QStringList out;
    QString cur;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                    cur += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cur += c;
            }
        } else if (c == QLatin1Char('"') && cur.trimmed().isEmpty()) {
            cur.clear();
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            out << cur.trimmed();
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur.trimmed();
    return out;
}

QString decodeText(const QByteArray& bytes) {
    QByteArray b = bytes;
    if (b.startsWith("\xEF\xBB\xBF")) b.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(b);
    if (!utf8.hasError()) return text;
    text = ostrel::cp949::decode(b);
    if (text.count(QLatin1Char('?')) != b.count('?'))
        throw std::runtime_error("the file is neither UTF-8 nor code page 949");
    return text;
}

}  // namespace

std::vector<PriceRow> ParsePriceCsv(const QByteArray& bytes) {
    QString text = decodeText(bytes);
    std::vector<PriceRow> rows;
    const QStringList lines = text.split(QLatin1Char('\n'));
    bool first = true;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        auto fail = [n](const std::string& why) {
            return std::runtime_error("line " + std::to_string(n + 1) + ": " + why);
        };
        QStringList f = splitCsvLine(line);
        while (f.size() < 5) f << QString();
        if (f.size() > 5) throw fail("more than five fields");
        auto price = ParseAmount(f[3]);
        if (!price && first) {  // a header line
            first = false;
            continue;
        }
        first = false;
        if (!price) throw fail("the unit price is not a number");
        if (*price < Currency()) throw fail("the unit price is negative");
        if (f[0].isEmpty()) throw fail("the product name is empty");
        if (f[1].contains(QLatin1Char('_')))
            throw fail("a unit must not contain \"_\" (the key is split at its last \"_\")");
        if (f[2].isEmpty() || f[2] == QLatin1String("*")) throw fail("the grade must be a grade of its own");
        for (const QString& x : f)
            if (!StorableText(x)) throw fail("a field contains \"</\"");
        rows.push_back(PriceRow{f[0], f[1], f[2], *price, f[4]});
    }
    return rows;
}

}  // namespace vendra::server
