#pragma once
// The tax split of an order line by its VAT flag: "+" price without tax, "/" price with tax,
// anything else tax-free. Deliveries are computed with it.
#include <ostrel/Currency.h>

#include <QString>

namespace vendra::server {

struct TaxSplit {
    ostrel::Currency supply;  // Gg
    ostrel::Currency tax;     // Gv
    ostrel::Currency total;   // Gt
};

// The supply value inside a tax-inclusive amount (10/11, a fraction of exactly 1/11 dropped).
ostrel::Currency SupplyFromGross(ostrel::Currency amount);
TaxSplit SplitVat(ostrel::Currency amount, const QString& vat);
// Int(quantity x unit price); error 6 on overflow.
ostrel::Currency LineAmount(ostrel::Currency quantity, ostrel::Currency unitPrice);

}  // namespace vendra::server
