#include "Wire.h"

#include <ostrel/DateTime.h>
#include <ostrel/RuntimeError.h>
#include <ostrel/Variant.h>


namespace vendra::server {

namespace {

// "?" characters the raw text stands for: literal ones and %3F. Code page 949 has no double-byte
// character with "?" as its second byte, so any further "?" after decoding marks a bad sequence.
qsizetype rawQuestionMarks(QByteArrayView raw) {
    qsizetype n = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '?') {
            ++n;
        } else if (raw[i] == '%' && i + 2 < raw.size() && raw[i + 1] == '3' &&
                   (raw[i + 2] == 'F' || raw[i + 2] == 'f')) {
            ++n;
            i += 2;
        }
    }
    return n;
}

}  // namespace

std::optional<corvane::FormFields> DecodeForm(QByteArrayView raw) {
    if (raw.startsWith('?')) raw = raw.sliced(1);
    corvane::FormFields fields = corvane::ParseForm(raw);
    qsizetype decoded = 0;
    for (const auto& [name, value] : fields) decoded += name.count(QLatin1Char('?')) + value.count(QLatin1Char('?'));
    if (decoded != rawQuestionMarks(raw)) return std::nullopt;
    return fields;
}

std::optional<QString> NormaliseDate(QStringView text) {
    // yyyy-m-d or yyyy/m/d; a time of day after a space is allowed and ignored.
    qsizetype space = text.indexOf(QLatin1Char(' '));
    if (space >= 0) {
        QStringView time = text.sliced(space + 1);
        if (time.isEmpty() || time.size() > 8) return std::nullopt;
        for (QChar c : time)
            if (!c.isDigit() && c != QLatin1Char(':')) return std::nullopt;
        text = text.first(space);
    }
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int k = 0;
    QChar sep;
    for (QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            if (++digits[k] > (k == 0 ? 4 : 2)) return std::nullopt;
            parts[k] = parts[k] * 10 + (c.unicode() - '0');
        } else if ((c == QLatin1Char('-') || c == QLatin1Char('/')) && k < 2 && (k == 0 || c == sep)) {
            sep = c;
            ++k;
        } else {
            return std::nullopt;
        }
    }
    if (k != 2 || digits[0] != 4 || digits[1] == 0 || digits[2] == 0) return std::nullopt;
    const int y = parts[0], mo = parts[1], d = parts[2];
    if (y < 1000 || mo < 1 || mo > 12 || d < 1) return std::nullopt;
    // The date builder carries overflow (Feb 30 is Mar 2): a real date comes back unchanged.
    ostrel::DateParts p = ostrel::SplitDate(ostrel::DateSerial(y, mo, d));
    if (p.year != y || p.month != mo || p.day != d) return std::nullopt;
    return QStringLiteral("%1-%2-%3")
        .arg(y, 4, 10, QLatin1Char('0'))
        .arg(mo, 2, 10, QLatin1Char('0'))
        .arg(d, 2, 10, QLatin1Char('0'));
}

std::optional<ostrel::Currency> ParseAmount(QStringView text) {
    double v = 0;
    if (!ostrel::ParseNumber(text, v)) return std::nullopt;
    try {
        return ostrel::Currency::fromDouble(v);
    } catch (const ostrel::RuntimeError&) {
        return std::nullopt;
    }
}

bool StorableText(QStringView text) {
    return !text.contains(QChar(u'\0')) && !text.contains(QLatin1String("</"));
}

std::optional<int> ParseCount(QStringView text, int max) {
    if (text.isEmpty() || text.size() > 9) return std::nullopt;
    int n = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        n = n * 10 + (c.unicode() - '0');
    }
    if (n > max) return std::nullopt;
    return n;
}

}  // namespace vendra::server
