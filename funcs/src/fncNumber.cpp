#include "ostrel/fncNumber.h"

#include "ostrel/RuntimeError.h"
#include "ostrel/fncString.h"

#include <cstdint>

namespace ostrel {

namespace {

void checkWidth(int n) {
    if (n < -32768 || n > 32767) throw RuntimeError::overflow();
    if (n < 0) throw RuntimeError::invalidArgument(QStringLiteral("negative width"));
}

void check16(int n) {
    if (n < -32768 || n > 32767) throw RuntimeError::overflow();
}

// The currency value split for formatting: sign, whole part and the four stored decimals.
struct Parts {
    bool negative;
    uint64_t whole;
    int frac;     // 0..9999, the four stored decimals
    int digits;   // NODigit
    int decimals; // NODeciaml
};

int wholeDigits(uint64_t whole) {
    int n = 1;
    while (whole >= 10) {
        whole /= 10;
        ++n;
    }
    return n;
}

int fracDigits(int frac) {
    if (frac == 0) return 0;
    int n = 4;
    while (frac % 10 == 0) {
        frac /= 10;
        --n;
    }
    return n;
}

Parts split(Currency c) {
    int64_t raw = c.raw();
    // Magnitude in unsigned arithmetic so the most negative value has one too.
    uint64_t mag = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
    Parts p;
    p.negative = raw < 0;
    p.whole = mag / Currency::kScale;
    p.frac = static_cast<int>(mag % Currency::kScale);
    p.digits = wholeDigits(p.whole);
    p.decimals = fracDigits(p.frac);
    return p;
}

// Writes the number right-aligned into `out` (already `width` characters of spaces) so that its
// last character is at `out[endAt - 1]`. Decimals beyond the four stored are zeros.
void writeNumber(QChar* out, qsizetype endAt, const Parts& p, int decimals, bool grouped) {
    QChar* d = out + endAt;
    if (decimals > 0) {
        // Stored digits first (decimals 1..4), then zeros for the rest.
        for (int i = decimals; i > 4; --i) *--d = QLatin1Char('0');
        int frac = p.frac;
        int shown = decimals < 4 ? decimals : 4;
        for (int i = 4; i > shown; --i) frac /= 10;  // only zeros are dropped: decimals >= the value's own
        for (int i = 0; i < shown; ++i) {
            *--d = QChar(u'0' + frac % 10);
            frac /= 10;
        }
        *--d = QLatin1Char('.');
    }
    uint64_t w = p.whole;
    int count = 0;
    do {
        if (grouped && count > 0 && count % 3 == 0) *--d = QLatin1Char(',');
        *--d = QChar(u'0' + static_cast<int>(w % 10));
        w /= 10;
        ++count;
    } while (w != 0);
    if (p.negative) *--d = QLatin1Char('-');
}

int numberLength(const Parts& p, int decimals, bool grouped) {
    int whole = grouped ? p.digits + (p.digits - 1) / 3 : p.digits;
    return (p.negative ? 1 : 0) + whole + (decimals > 0 ? decimals + 1 : 0);
}

// `width` characters: the number ending `trailing` characters before the right edge.
QString placed(int width, const Parts& p, int decimals, bool grouped, int trailing = 0) {
    QString r(width, QLatin1Char(' '));
    writeNumber(r.data(), width - trailing, p, decimals, grouped);
    return r;
}

enum class Shape { Text, Spaces, Number };

Shape shapeOf(const Variant& v) {
    if (v.isEmpty()) return Shape::Spaces;
    if (v.isString()) return Shape::Text;
    return Shape::Number;
}

QString fdnOf(const Parts& p, int L, int D) {
    const int sign = p.negative ? 1 : 0;
    const int room = L - (D > 0 ? D + 1 : 0);
    if (sign + p.digits <= room && D >= p.decimals) return placed(L, p, D, false);
    if (numberLength(p, p.decimals, false) <= L) return placed(L, p, p.decimals, false);
    return QString(L, QLatin1Char('*'));
}

}  // namespace

QString fncNumber::fdn(const Variant& v, int vLength, int vDec) const {
    checkWidth(vLength);
    check16(vDec);
    switch (shapeOf(v)) {
    case Shape::Spaces: return QString(vLength, QLatin1Char(' '));
    case Shape::Text: return fncString().padr(*v.stringIf(), vLength);
    case Shape::Number: break;
    }
    return fdnOf(split(v.toCurrency()), vLength, vDec);
}

QString fncNumber::fdnc(const Variant& v, int vLength, int vDec) const {
    checkWidth(vLength);
    check16(vDec);
    switch (shapeOf(v)) {
    case Shape::Spaces: return QString(vLength, QLatin1Char(' '));
    case Shape::Text: return fncString().padr(*v.stringIf(), vLength);
    case Shape::Number: break;
    }
    const Parts p = split(v.toCurrency());
    const int L = vLength, D = vDec;
    const int sign = p.negative ? 1 : 0;
    const int room = L - (D > 0 ? D + 1 : 0);
    const int c = p.digits + (p.digits - 1) / 3;
    if (sign + c <= room && D >= p.decimals) {
        // Whole values leave the point and decimals blank so they line up with decimal ones;
        // other values show their decimals only as far as they have them.
        if (p.decimals == 0) return placed(L, p, 0, true, D > 0 ? D + 1 : 0);
        QString r = placed(L, p, D, true);
        for (qsizetype i = r.size() - 1; i >= 0 && r[i] == QLatin1Char('0'); --i) r[i] = QLatin1Char(' ');
        return r;
    }
    if (numberLength(p, p.decimals, true) <= L) return placed(L, p, p.decimals, true);
    return fdnOf(p, L, D);
}

QString fncNumber::NumberIndexKey(Currency v) const { return fdnc(Variant(v), 18, 2); }

Currency fncNumber::RoundDown(Currency v, int n) const {
    check16(n);
    const __int128 raw = v.raw();
    const __int128 mag = raw < 0 ? -raw : raw;
    if (n > 4) {
        // Nothing to cut, but the scaling by 10^n must still fit the currency range.
        if (mag != 0) {
            if (n > 19) throw RuntimeError::overflow();
            __int128 scaled = mag;
            for (int i = 0; i < n; ++i) {
                scaled *= 10;
                if (scaled > INT64_MAX) throw RuntimeError::overflow();
            }
        }
        return v;
    }
    // Truncate the stored raw value to a multiple of 10^(4 - n), exactly.
    const int zeros = 4 - n;
    if (zeros > 18) return Currency();  // the step exceeds any currency value
    __int128 step = 1;
    for (int i = 0; i < zeros; ++i) step *= 10;
    __int128 cut = mag / step * step;
    return Currency::fromRaw(static_cast<int64_t>(raw < 0 ? -cut : cut));
}

Currency fncNumber::Banolim(Currency cValue) const {
    Currency f = cValue.floor();
    if ((cValue - f).raw() >= Currency::kScale / 2) return f + Currency::fromInt(1);
    return f;
}

int fncNumber::NODeciaml(Currency cNumber) const { return split(cNumber).decimals; }

int fncNumber::NODigit(Currency cNumber) const { return split(cNumber).digits; }

bool fncNumber::IsNumericVarType(const Variant& v) const { return v.isNumber(); }

}  // namespace ostrel
