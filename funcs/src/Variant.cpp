#include "ostrel/Variant.h"

#include "ostrel/RuntimeError.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace ostrel {

Variant VObject::defaultValue() const { return {}; }

const Variant& VArray::at(int i) const {
    if (!contains(i)) throw RuntimeError::outOfRange();
    return items[static_cast<size_t>(i - lower)];
}

Variant& VArray::at(int i) {
    if (!contains(i)) throw RuntimeError::outOfRange();
    return items[static_cast<size_t>(i - lower)];
}

VarType Variant::type() const {
    static constexpr VarType kinds[] = {VarType::Empty,    VarType::Null,   VarType::Integer, VarType::Long,
                                        VarType::Single,   VarType::Double, VarType::Currency, VarType::Date,
                                        VarType::String,   VarType::Boolean, VarType::Object,  VarType::Array};
    return kinds[v_.index()];
}

bool Variant::isNumber() const {
    switch (type()) {
    case VarType::Integer: case VarType::Long: case VarType::Single: case VarType::Double: case VarType::Currency:
        return true;
    default:
        return false;
    }
}

namespace {
bool exactCurrency(QStringView text, Currency& out);

template <class... F> struct Overload : F... { using F::operator()...; };
template <class... F> Overload(F...) -> Overload<F...>;

enum class Kind { Empty, Null, Number, Text, Object, Array };
}  // namespace

double Variant::toDouble() const {
    return std::visit(Overload{
        [](std::monostate) { return 0.0; },
        [](NullTag) -> double { throw RuntimeError::invalidUseOfNull(); },
        [](int16_t v) { return static_cast<double>(v); },
        [](int32_t v) { return static_cast<double>(v); },
        [](float v) { return static_cast<double>(v); },
        [](double v) { return v; },
        [](Currency v) { return v.toDouble(); },
        [](Date v) { return v.serial; },
        [](const QString& s) {
            double d;
            if (!ParseNumber(s, d)) throw RuntimeError::typeMismatch(s.left(40));
            return d;
        },
        [](bool b) { return b ? -1.0 : 0.0; },
        [](const ObjectRef& o) { return o ? o->defaultValue().toDouble() : throw RuntimeError::typeMismatch(); },
        [](const VArray&) -> double { throw RuntimeError::typeMismatch(QStringLiteral("array")); },
    }, v_);
}

Currency Variant::toCurrency() const {
    if (auto c = std::get_if<Currency>(&v_)) return *c;
    if (auto i = std::get_if<int32_t>(&v_)) return Currency::fromInt(*i);
    if (auto i = std::get_if<int16_t>(&v_)) return Currency::fromInt(*i);
    if (auto s = std::get_if<QString>(&v_)) {
        Currency c;
        if (exactCurrency(*s, c)) return c;
    }
    return Currency::fromDouble(toDouble());
}

namespace {
double roundHalfEven(double v) { return std::nearbyint(v); }
}  // namespace

int32_t Variant::toLong() const {
    if (auto i = std::get_if<int32_t>(&v_)) return *i;
    double d = roundHalfEven(toDouble());
    if (!(d >= std::numeric_limits<int32_t>::min() && d <= std::numeric_limits<int32_t>::max()))
        throw RuntimeError::overflow();
    return static_cast<int32_t>(d);
}

int16_t Variant::toInteger() const {
    if (auto i = std::get_if<int16_t>(&v_)) return *i;
    double d = roundHalfEven(toDouble());
    if (!(d >= std::numeric_limits<int16_t>::min() && d <= std::numeric_limits<int16_t>::max()))
        throw RuntimeError::overflow();
    return static_cast<int16_t>(d);
}

bool Variant::toBool() const {
    if (auto b = std::get_if<bool>(&v_)) return *b;
    if (auto s = std::get_if<QString>(&v_)) {
        QString t = s->trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    }
    return toDouble() != 0;
}

Date Variant::toDate() const {
    if (auto d = std::get_if<Date>(&v_)) return *d;
    if (auto s = std::get_if<QString>(&v_)) {
        if (auto parsed = ParseDateText(*s)) return *parsed;
        double n;
        if (ParseNumber(*s, n)) return Date(n);
        throw RuntimeError::typeMismatch(s->left(40));
    }
    return Date(toDouble());
}

namespace {
QString two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

QString dateText(Date d) {
    DateParts p = SplitDate(d);
    QString time = two(p.hour) + QLatin1Char(':') + two(p.minute) + QLatin1Char(':') + two(p.second);
    if (std::trunc(d.serial) == 0) return time;
    QString date = QStringLiteral("%1-%2-%3").arg(p.year, 4, 10, QLatin1Char('0')).arg(two(p.month), two(p.day));
    return HasTime(d) ? date + QLatin1Char(' ') + time : date;
}
}  // namespace

QString Variant::toString() const {
    return std::visit(Overload{
        [](std::monostate) { return QString(); },
        [](NullTag) -> QString { throw RuntimeError::invalidUseOfNull(); },
        [](int16_t v) { return QString::number(v); },
        [](int32_t v) { return QString::number(v); },
        [](float v) { return NumberText(v, 7); },
        [](double v) { return NumberText(v, 15); },
        [](Currency v) { return v.toString(); },
        [](Date v) { return dateText(v); },
        [](const QString& s) { return s; },
        [](bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); },
        [](const ObjectRef& o) { return o ? o->defaultValue().toString() : throw RuntimeError::typeMismatch(); },
        [](const VArray&) -> QString { throw RuntimeError::typeMismatch(QStringLiteral("array")); },
    }, v_);
}

ObjectRef Variant::toObject() const {
    if (auto o = std::get_if<ObjectRef>(&v_)) return *o;
    throw RuntimeError::typeMismatch(QStringLiteral("object expected"));
}

const VArray& Variant::toArray() const {
    if (auto a = std::get_if<VArray>(&v_)) return *a;
    throw RuntimeError::typeMismatch(QStringLiteral("array expected"));
}

VArray& Variant::toArray() {
    if (auto a = std::get_if<VArray>(&v_)) return *a;
    throw RuntimeError::typeMismatch(QStringLiteral("array expected"));
}

namespace {
Kind kindOf(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty: return Kind::Empty;
    case VarType::Null: return Kind::Null;
    case VarType::String: return Kind::Text;
    case VarType::Object: return Kind::Object;
    case VarType::Array: return Kind::Array;
    default: return Kind::Number;
    }
}

std::partial_ordering order(long double a, long double b) { return a <=> b; }

long double numericValue(const Variant& v) {
    if (v.type() == VarType::Currency) return static_cast<long double>(v.toCurrency().raw()) / Currency::kScale;
    return v.toDouble();
}
}  // namespace

std::partial_ordering compare(const Variant& a, const Variant& b) {
    Kind ka = kindOf(a), kb = kindOf(b);
    if (ka == Kind::Object) {
        ObjectRef o = a.toObject();
        return compare(o ? o->defaultValue() : Variant(), b);
    }
    if (kb == Kind::Object) {
        ObjectRef o = b.toObject();
        return compare(a, o ? o->defaultValue() : Variant());
    }
    if (ka == Kind::Null || kb == Kind::Null) return std::partial_ordering::unordered;
    if (ka == Kind::Array || kb == Kind::Array) throw RuntimeError::typeMismatch(QStringLiteral("array compared"));
    if (ka == Kind::Empty && kb == Kind::Empty) return std::partial_ordering::equivalent;
    if (ka == Kind::Text || kb == Kind::Text) {
        if (ka == Kind::Number) return std::partial_ordering::less;
        if (kb == Kind::Number) return std::partial_ordering::greater;
        const QString* sa = a.stringIf();
        const QString* sb = b.stringIf();
        int c = QString::compare(sa ? *sa : QString(), sb ? *sb : QString(), Qt::CaseSensitive);
        return c < 0 ? std::partial_ordering::less : c > 0 ? std::partial_ordering::greater
                                                           : std::partial_ordering::equivalent;
    }
    if (a.type() == VarType::Currency && b.type() == VarType::Currency)
        return a.toCurrency().raw() <=> b.toCurrency().raw();
    return order(numericValue(a), numericValue(b));
}

bool Variant::identical(const Variant& other) const {
    if (v_.index() != other.v_.index()) return false;
    if (isArray()) {
        const VArray& x = toArray();
        const VArray& y = other.toArray();
        if (x.lower != y.lower || x.items.size() != y.items.size()) return false;
        for (size_t i = 0; i < x.items.size(); ++i)
            if (!x.items[i].identical(y.items[i])) return false;
        return true;
    }
    if (isObject()) return toObject() == other.toObject();
    if (isNull() || isEmpty()) return true;
    return compare(*this, other) == 0;
}

double Int(double v) { return std::floor(v); }
double Fix(double v) { return std::trunc(v); }

QString NumberText(double v, int significant) {
    if (v == 0) return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", significant, v);
    QString text = QString::fromLatin1(buf);
    int e = text.indexOf(QLatin1Char('E'));
    if (e >= 0) {
        // 1.5E+016 style: trim zeros of the mantissa, keep a two-digit exponent.
        QString mant = text.left(e);
        QString exp = text.mid(e + 1);
        if (mant.contains(QLatin1Char('.'))) {
            while (mant.endsWith(QLatin1Char('0'))) mant.chop(1);
            if (mant.endsWith(QLatin1Char('.'))) mant.chop(1);
        }
        QChar sign = exp[0];
        QString digits = exp.mid(1);
        while (digits.size() > 2 && digits.startsWith(QLatin1Char('0'))) digits.remove(0, 1);
        return mant + QLatin1Char('E') + sign + digits;
    }
    return text;
}

namespace {
struct NumberScan {
    int end = 0;      // one past the last character of the number
    bool ok = false;  // at least one digit
};

// Reads sign, digits, one point and an exponent from `pos`; stops at the first character
// that cannot continue the number.
NumberScan scanNumber(QStringView t, int pos) {
    NumberScan r;
    int i = pos;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
    int digits = 0;
    while (i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9')) { ++i; ++digits; }
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9')) { ++i; ++digits; }
    }
    if (digits == 0) return r;
    r.ok = true;
    r.end = i;
    if (i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < t.size() && (t[j] == QLatin1Char('+') || t[j] == QLatin1Char('-'))) ++j;
        int expDigits = 0;
        while (j < t.size() && t[j] >= QLatin1Char('0') && t[j] <= QLatin1Char('9')) { ++j; ++expDigits; }
        if (expDigits > 0) r.end = j;
    }
    return r;
}

bool toDoubleExact(QStringView t, double& out) {
    QByteArray latin = t.toLatin1();
    const char* first = latin.constData();
    const char* last = first + latin.size();
    bool negative = false;
    if (first < last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    double v = 0;
    auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::general);
    if (ptr != last) return false;
    if (ec == std::errc::result_out_of_range) return false;
    out = negative ? -v : v;
    return true;
}

bool exactCurrency(QStringView raw, Currency& out) {
    QStringView t = raw.trimmed();
    NumberScan s = scanNumber(t, 0);
    if (!s.ok || s.end != t.size()) return false;
    if (t.contains(QLatin1Char('e')) || t.contains(QLatin1Char('E'))) return false;
    bool negative = t.startsWith(QLatin1Char('-'));
    __int128 value = 0;
    int decimals = -1;
    int roundDigit = -1;
    bool sticky = false;
    for (QChar c : t) {
        if (c == QLatin1Char('.')) { decimals = 0; continue; }
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) continue;
        int d = c.unicode() - '0';
        if (decimals >= 4) {
            if (roundDigit < 0) roundDigit = d;
            else if (d != 0) sticky = true;
            continue;
        }
        value = value * 10 + d;
        if (value > static_cast<__int128>(std::numeric_limits<int64_t>::max()) * 10) throw RuntimeError::overflow();
        if (decimals >= 0) ++decimals;
    }
    for (int k = decimals < 0 ? 0 : decimals; k < 4; ++k) value *= 10;
    if (roundDigit > 5 || (roundDigit == 5 && (sticky || value % 2 != 0))) ++value;
    if (negative) value = -value;
    if (value > std::numeric_limits<int64_t>::max() || value < std::numeric_limits<int64_t>::min())
        throw RuntimeError::overflow();
    out = Currency::fromRaw(static_cast<int64_t>(value));
    return true;
}
}  // namespace

bool ParseNumber(QStringView raw, double& out) {
    QStringView t = raw.trimmed();
    NumberScan s = scanNumber(t, 0);
    if (!s.ok || s.end != t.size()) return false;
    return toDoubleExact(t, out);
}

bool IsNumeric(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty: case VarType::Integer: case VarType::Long: case VarType::Single:
    case VarType::Double: case VarType::Currency: case VarType::Boolean:
        return true;
    case VarType::String: {
        double d;
        return ParseNumber(*v.stringIf(), d);
    }
    default:
        return false;
    }
}

double Val(QStringView text) {
    int i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    NumberScan s = scanNumber(text, i);
    if (!s.ok) return 0;
    double d = 0;
    return toDoubleExact(text.mid(i, s.end - i), d) ? d : 0;
}

}  // namespace ostrel
