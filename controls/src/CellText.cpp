#include "tessel/CellText.h"

#include "ostrel/Currency.h"
#include "ostrel/TrimSpaces.h"
#include "ostrel/RuntimeError.h"

#include <QStringList>
#include <cmath>
#include <exception>

namespace tessel {

using ostrel::Date;
using ostrel::Variant;


Variant readNumberText(const QString& text) {
    if (text.isEmpty()) return Variant();
    QString t = text;
    t.remove(u',');
    t.replace(u'+', QStringLiteral("000"));
    t.replace(u'*', QStringLiteral("00"));
    const double v = ostrel::Val(t);
    try {
        return Variant(ostrel::Currency::fromDouble(v));
    } catch (const ostrel::RuntimeError&) {
        return Variant::null();  // beyond the currency range: not a value the cell can hold
    }
}

namespace {

// A part of a date text as the platform's integer conversion reads it: digits, spaces around,
// 16 bits at most. Anything else is a failure of the whole reading.
bool readPart(const QString& s, int& out) {
    const QString t = ostrel::trimSpaces(s).toString();
    if (t.isEmpty() || t.size() > 5) return false;
    int v = 0;
    for (QChar c : t) {
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c.unicode() - u'0');
    }
    if (v > 32767) return false;
    out = v;
    return true;
}

int centuryYear(int v) {
    v %= 100;
    return v > 89 ? 1900 + v : 2000 + v;
}

}  // namespace

Date readDateText(const QString& text, const Variant& stored, Date today) {
    int defYear = 0, defMonth = 0;
    bool hasDefault = false;
    try {
        if (!stored.isEmpty() && !stored.isString()) {
            const double serial = stored.toDouble();
            if (serial != 0) {
                const Date d(serial);
                defYear = ostrel::Year(d);
                defMonth = ostrel::Month(d);
                hasDefault = true;
            }
        }
    } catch (const std::exception&) {
        hasDefault = false;
    }

    const QString t = ostrel::trimSpaces(text).toString();
    QStringList parts;
    if (t.contains(u'/')) parts = t.split(u'/');
    else if (t.contains(u'-')) parts = t.split(u'-');
    else parts << t;

    int year = 0, rawYear = 0, month = 0, day = 0;
    bool hasYear = false, hasMonth = false;
    if (parts.size() == 2) {
        if (!readPart(parts[0], month) || !readPart(parts[1], day)) return Date();
        hasMonth = true;
    } else if (parts.size() == 3) {
        if (!readPart(parts[0], rawYear) || !readPart(parts[1], month) || !readPart(parts[2], day)) return Date();
        rawYear %= 100;
        year = centuryYear(rawYear);
        hasYear = hasMonth = true;
    } else if (parts.size() == 1) {
        const QString& p = parts[0];
        const qsizetype n = p.size();
        if (n == 0) return Date();
        if (n <= 2) {
            if (!readPart(p, day)) return Date();
        } else if (n <= 4) {
            if (!readPart(p.right(2), day) || !readPart(p.left(n - 2), month)) return Date();
            hasMonth = true;
        } else {
            if (!readPart(p.right(2), day) || !readPart(p.mid(n - 4, 2), month)) return Date();
            const QString rest = p.left(n - 4);
            int y = 0;
            // Only the last two digits of the year count, however many were typed.
            if (!readPart(rest.right(2), y)) return Date();
            for (QChar c : rest)
                if (c < u'0' || c > u'9') return Date();
            rawYear = y % 100;
            year = centuryYear(rawYear);
            hasYear = hasMonth = true;
        }
    } else {
        return Date();
    }

    if (rawYear == 0 && month == 0 && day == 0) return Date();
    if (!hasYear) year = hasDefault ? defYear : ostrel::Year(today);
    if (!hasMonth) month = hasDefault ? defMonth : ostrel::Month(today);

    if (year < 1990 || year > 2089) {
        // Taken again from the first part of the text, as a two-digit year.
        const QString first = ostrel::trimSpaces(parts[0]).toString();
        if (first.isEmpty()) return Date();
        for (QChar c : first)
            if (c < u'0' || c > u'9') return Date();
        int y = 0;
        readPart(first.right(2), y);
        year = centuryYear(y);
    }
    try {
        return ostrel::DateSerial(year, month, day);
    } catch (const std::exception&) {
        return Date();
    }
}

QString stripQuotesAndBrackets(QString text) {
    text.remove(u'"');
    text.remove(u'\'');
    text.remove(u'[');
    text.remove(u']');
    return text;
}

std::optional<QString> booleanMark(const Variant& v, int length) {
    if (v.isEmpty() || v.isNull() || v.isObject() || v.isArray()) return std::nullopt;
    try {
        if (v == Variant(true)) {
            if (length == 1) return QStringLiteral("+");
            if (length >= 2) return QStringLiteral("＋");
            return QString();
        }
        if (v == Variant(false)) return QStringLiteral(".");
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

Variant readBooleanText(const QString& text) {
    if (text == QLatin1String("+") || text == QStringLiteral("＋")) return Variant(true);
    if (text == QLatin1String(".")) return Variant(false);
    return Variant();
}

double shrunkFontSize(int length, double fontsize, int byteLength) {
    if (byteLength <= 0) return fontsize;
    return std::floor(double(length) * fontsize / byteLength / 1.5) * 1.5;
}

QString safeText(const Variant& v) {
    if (v.isEmpty() || v.isNull() || v.isObject() || v.isArray()) return QString();
    try {
        return v.toString();
    } catch (const std::exception&) {
        return QString();
    }
}

}  // namespace tessel
