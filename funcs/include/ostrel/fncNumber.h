#pragma once
// Fixed-width number texts, rounding and digit counts, all on the currency value.
#include "ostrel/Currency.h"
#include "ostrel/Variant.h"

#include <QString>

namespace ostrel {

class fncNumber {
public:
    // `v` right-aligned in `vLength` bytes with `vDec` decimals; falls back to the value's own
    // decimals, then to asterisks, when it does not fit. Empty gives spaces, text is padr'ed.
    // Null or an object raises an error.
    QString fdn(const Variant& v, int vLength, int vDec = 0) const;
    // As fdn, with thousands separators; decimals only as far as the value has them.
    QString fdnc(const Variant& v, int vLength, int vDec = 0) const;
    // fdnc(v, 18, 2): amounts whose whole parts end in the same column.
    QString NumberIndexKey(Currency v) const;
    // Truncated toward zero at the n-th decimal (n may be negative); error 6 on overflow.
    Currency RoundDown(Currency v, int n) const;
    Currency Banolim(Currency cValue) const;  // half up to a whole number: 2.5 -> 3, -2.5 -> -2
    int NODeciaml(Currency cNumber) const;    // decimal digits, 0..4
    int NODigit(Currency cNumber) const;      // digits of the whole part, at least 1
    // Integer, Long, Single, Double or Currency.
    bool IsNumericVarType(const Variant& v) const;
};

}  // namespace ostrel
