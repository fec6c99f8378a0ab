#include "ostrel/Currency.h"

#include "ostrel/RuntimeError.h"

#include <cmath>
#include <limits>

namespace ostrel {

namespace {
int64_t checkedRaw(__int128 v) {
    if (v > std::numeric_limits<int64_t>::max() || v < std::numeric_limits<int64_t>::min())
        throw RuntimeError::overflow();
    return static_cast<int64_t>(v);
}

__int128 roundHalfEvenDiv(__int128 num, __int128 den) {
    __int128 q = num / den;
    __int128 r = num % den;
    if (r == 0) return q;
    __int128 twice = (r < 0 ? -r : r) * 2;
    bool negative = (num < 0) != (den < 0);
    if (twice > den || (twice == den && (q % 2 != 0))) q += negative ? -1 : 1;
    return q;
}
}  // namespace

Currency Currency::fromDouble(double value) {
    if (!std::isfinite(value)) throw RuntimeError::overflow();
    // Scaled in double precision, as the platform does, so 0.00005 is a true half.
    double scaled = std::nearbyint(value * kScale);
    // Within the int64 range; 2^63 itself does not fit.
    if (scaled >= 9223372036854775808.0 || scaled < -9223372036854775808.0) throw RuntimeError::overflow();
    return fromRaw(static_cast<int64_t>(scaled));
}

Currency Currency::fromInt(int64_t whole) { return fromRaw(checkedRaw(static_cast<__int128>(whole) * kScale)); }

Currency Currency::floor() const {
    int64_t q = raw_ / kScale;
    if (raw_ % kScale != 0 && raw_ < 0) --q;
    return fromInt(q);
}

Currency Currency::trunc() const { return fromRaw(raw_ / kScale * kScale); }

Currency Currency::abs() const { return raw_ < 0 ? -*this : *this; }

QString Currency::toString() const {
    __int128 v = raw_;
    bool negative = v < 0;
    if (negative) v = -v;
    uint64_t whole = static_cast<uint64_t>(v / kScale);
    int frac = static_cast<int>(v % kScale);
    QString text = negative ? QStringLiteral("-") : QString();
    text += QString::number(whole);
    if (frac != 0) {
        QString digits = QStringLiteral("%1").arg(frac, 4, 10, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0'))) digits.chop(1);
        text += QLatin1Char('.') + digits;
    }
    return text;
}

Currency Currency::operator-() const { return fromRaw(checkedRaw(-static_cast<__int128>(raw_))); }
Currency Currency::operator+(Currency o) const { return fromRaw(checkedRaw(static_cast<__int128>(raw_) + o.raw_)); }
Currency Currency::operator-(Currency o) const { return fromRaw(checkedRaw(static_cast<__int128>(raw_) - o.raw_)); }
Currency Currency::operator*(Currency o) const {
    return fromRaw(checkedRaw(roundHalfEvenDiv(static_cast<__int128>(raw_) * o.raw_, kScale)));
}

}  // namespace ostrel
