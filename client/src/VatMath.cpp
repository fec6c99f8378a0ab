#include "vendra/VatMath.h"

#include "ostrel/Variant.h"

namespace vendra {

using ostrel::Currency;

Currency SupplyFromGross(Currency amount) {
    // Double precision first, then kept to four decimals by the currency conversion, so the
    // fraction of a whole amount is a multiple of 1/11 rounded at the fourth decimal.
    const Currency y = Currency::fromDouble(amount.toDouble() * 10.0 / 11.0);
    if (y.isWhole()) return y;
    const Currency whole = y.floor();
    const Currency f = y - whole;
    if (f < Currency::fromRaw(910)) return whole;  // 0.091
    return whole + Currency::fromInt(1);
}

VatParts SplitVat(const QString& flag, Currency amount) {
    VatParts p;
    if (flag == QLatin1String("+")) {
        // Floor division on the raw value keeps Int(amount / 10) exact for negative amounts too.
        int64_t raw = amount.raw();
        int64_t q = raw / 10;
        if (raw % 10 != 0 && raw < 0) --q;
        p.Gg = amount;
        p.Gv = Currency::fromRaw(q).floor();
        p.Gt = p.Gg + p.Gv;
    } else if (flag == QLatin1String("/")) {
        p.Gt = amount;
        p.Gg = SupplyFromGross(amount);
        p.Gv = p.Gt - p.Gg;
    } else {
        p.Gg = amount;
        p.Gv = Currency();
        p.Gt = amount;
    }
    return p;
}

Currency LineAmount(Currency quantity, Currency unitPrice) { return (quantity * unitPrice).floor(); }

}  // namespace vendra
