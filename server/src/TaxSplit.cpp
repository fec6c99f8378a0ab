#include "TaxSplit.h"

namespace vendra::server {

using ostrel::Currency;

Currency SupplyFromGross(Currency amount) {
    Currency y = Currency::fromDouble(amount.toDouble() * 10.0 / 11.0);
    if (y.isWhole()) return y;
    Currency whole = y.floor();
    Currency fraction = y - whole;
    if (fraction < Currency::fromRaw(910)) return whole;  // 0.091
    return whole + Currency::fromInt(1);
}

TaxSplit SplitVat(Currency amount, const QString& vat) {
    if (vat == QLatin1String("+")) {
        // Int(amount / 10): floor of the exact tenth.
        Currency tax = Currency::fromRaw(amount.raw() / 10).floor();
        if (amount.raw() < 0 && amount.raw() % 10 != 0) tax = Currency::fromRaw(amount.raw() / 10 - 1).floor();
        return {amount, tax, amount + tax};
    }
    if (vat == QLatin1String("/")) {
        Currency supply = SupplyFromGross(amount);
        return {supply, amount - supply, amount};
    }
    return {amount, Currency(), amount};
}

Currency LineAmount(Currency quantity, Currency unitPrice) { return (quantity * unitPrice).floor(); }

}  // namespace vendra::server
