#include "vendra/order/Vat.h"

namespace vendra {

using ostrel::Currency;

Currency SupplyFromGross(Currency amount) {
    // Double precision first, then kept to four decimals by the currency conversion, so the
    // fraction of a whole amount is a multiple of 1/11 rounded at the fourth decimal.
    const Currency y = Currency::fromDouble(amount.toDouble() * 10.0 / 11.0);
    if (y.isWhole()) return y;
    const Currency whole = y.floor();
    if (y - whole < Currency::fromRaw(910)) return whole;  // 0.091
    return whole + Currency::fromInt(1);
}

VatSplit SplitVat(const QString& flag, Currency amount) {
    if (flag == QLatin1String("+")) {
        // Floor division on the raw value keeps Int(amount / 10) exact for negative amounts too.
        const int64_t raw = amount.raw();
        const int64_t tenth = raw / 10 - (raw % 10 != 0 && raw < 0 ? 1 : 0);
        const Currency tax = Currency::fromRaw(tenth).floor();
        return {amount, tax, amount + tax};
    }
    if (flag == QLatin1String("/")) {
        const Currency supply = SupplyFromGross(amount);
        return {supply, amount - supply, amount};
    }
    return {amount, Currency(), amount};
}

Currency LineAmount(Currency quantity, Currency unitPrice) { return (quantity * unitPrice).floor(); }

}  // namespace vendra
