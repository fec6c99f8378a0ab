#include "corvane/ValueText.h"

#include "ostrel/RuntimeError.h"
#include "ostrel/TrimSpaces.h"
#include "ostrel/fncDate.h"

#include <cfloat>
#include <cmath>

using ostrel::Currency;
using ostrel::RuntimeError;
using ostrel::trimSpaces;
using ostrel::Variant;
using ostrel::VarType;

namespace corvane {

namespace {

// Standard number text without the leading space of positives.
QString numberText(const Variant& v) {
    return v.toString();
}


// The common case of literal numbers, read straight from the text: an optional "-", digits and
// at most four decimals. Anything else goes the general way.
bool fastCurrency(QStringView t, Currency& out) {
    qsizetype i = 0, n = t.size();
    bool negative = false;
    if (i < n && (t[i] == u'-' || t[i] == u'+')) { negative = t[i] == u'-'; ++i; }
    int64_t value = 0;
    int digits = 0;
    while (i < n && t[i] >= u'0' && t[i] <= u'9') {
        if (++digits > 14) return false;  // leave large values to the checked reader
        value = value * 10 + (t[i].unicode() - u'0');
        ++i;
    }
    int decimals = 0;
    if (i < n && t[i] == u'.') {
        ++i;
        while (i < n && t[i] >= u'0' && t[i] <= u'9') {
            if (++decimals > 4) return false;
            value = value * 10 + (t[i].unicode() - u'0');
            ++i;
        }
    }
    if (i != n || digits + decimals == 0) return false;
    for (int k = decimals; k < 4; ++k) value *= 10;
    out = Currency::fromRaw(negative ? -value : value);
    return true;
}

bool isNumericText(QStringView t, double& d) { return ostrel::ParseNumber(t, d); }

QString undoubleQuotes(QStringView inner) {
    QString out;
    out.reserve(inner.size());
    qsizetype i = 0, n = inner.size();
    while (i < n) {
        qsizetype q = inner.indexOf(u'"', i);
        if (q < 0) { out.append(inner.mid(i)); break; }
        out.append(inner.mid(i, q + 1 - i));
        i = q + 1;
        if (i < n && inner[i] == u'"') ++i;  // the writer's second quote of a pair
    }
    return out;
}

// Zero-date texts that DtoG writes and GtoD reads as "no date".
bool isZeroDateText(QStringView t) {
    return t == u"0000-00-00" || t == u"0000-00-00 00:00:00";
}

}  // namespace

QString ValueToString(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Null:
        return {};
    case VarType::Integer: case VarType::Long: case VarType::Single: case VarType::Double:
    case VarType::Currency:
        return numberText(v);
    case VarType::Date:
        return ostrel::fncDate().DtoG(v.toDate());
    case VarType::String:
        return *v.stringIf();
    case VarType::Boolean:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return v.toString();
    }
}

Variant StringToValue(const QString& text, int type) {
    switch (type) {
    case valuetype::Integer: case valuetype::Long: case valuetype::Single: case valuetype::Double:
    case valuetype::Currency: {
        double d = 0;
        if (text.isEmpty() || !isNumericText(text, d)) return {};
        switch (type) {
        case valuetype::Integer: return Variant(text).toInteger();
        case valuetype::Long: return Variant(text).toLong();
        case valuetype::Single:
            if (std::isfinite(d) && std::fabs(d) > FLT_MAX) throw RuntimeError::overflow(text.left(40));
            return static_cast<float>(d);
        case valuetype::Double: return d;
        default: return Variant(text).toCurrency();
        }
    }
    case valuetype::Date:
        if (text.isEmpty()) return {};
        return ostrel::fncDate().GtoD(text);
    case valuetype::Boolean: {
        if (text.isEmpty()) return {};
        double d = 0;
        if (isNumericText(text, d)) return d != 0;
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
        return {};
    }
    default:
        return text;
    }
}

QString LiteralText(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty:
        return QStringLiteral("EMPTY");
    case VarType::Null:
        return {};
    case VarType::Integer: case VarType::Long: case VarType::Single: case VarType::Double:
    case VarType::Currency:
        return numberText(v).trimmed();
    case VarType::Date:
        return QLatin1Char('#') + ostrel::fncDate().DtoG(v.toDate()) + QLatin1Char('#');
    case VarType::String: {
        const QString& s = *v.stringIf();
        QString out;
        out.reserve(s.size() + 2);
        out.append(u'"');
        qsizetype i = 0;
        while (i < s.size()) {
            qsizetype q = s.indexOf(u'"', i);
            if (q < 0) { out.append(QStringView(s).mid(i)); break; }
            out.append(QStringView(s).mid(i, q + 1 - i));
            out.append(u'"');
            i = q + 1;
        }
        out.append(u'"');
        return out;
    }
    default:
        return v.toString();
    }
}

Variant ParseLiteral(QStringView raw) {
    QStringView t = trimSpaces(raw);
    if (t.isEmpty()) return {};
    if (t == u"EMPTY") return {};
    QChar first = t.front(), last = t.back();
    if (first == u'"' && last == u'"') {
        if (t.size() < 2) throw RuntimeError::invalidArgument(QStringLiteral("a lone quote is no text literal"));
        return undoubleQuotes(t.mid(1, t.size() - 2));
    }
    if (first == u'#' && last == u'#') {
        if (t.size() < 2) return int16_t(0);
        QStringView inner = t.mid(1, t.size() - 2);
        if (isZeroDateText(inner.trimmed())) return ostrel::Date();
        if (auto d = ostrel::ParseDateText(inner.trimmed())) return *d;
        return int16_t(0);
    }
    Currency c;
    if (fastCurrency(t, c)) return c;
    double d = 0;
    if (isNumericText(t, d)) return Variant(t.toString()).toCurrency();
    return {};
}

}  // namespace corvane
