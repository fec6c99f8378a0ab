#pragma once
// Value-added tax arithmetic of one order line. Every amount is currency; Int is the floor.
#include "ostrel/Currency.h"

#include <QString>

namespace vendra {

// An amount split by its VAT flag; the wire calls the three values Gg, Gv and Gt.
struct VatSplit {
    ostrel::Currency supply;
    ostrel::Currency tax;
    ostrel::Currency total;
};

// The supply value inside a tax-inclusive amount: 10/11 of it, a fraction of exactly 1/11 dropped
// and any larger fraction raised to the next whole number (1000 -> 909, 1002 -> 911).
ostrel::Currency SupplyFromGross(ostrel::Currency amount);

// "+" price without tax (tax = Int(amount / 10) on top), "/" price with tax (supply taken out by
// SupplyFromGross), anything else tax-free.
VatSplit SplitVat(const QString& flag, ostrel::Currency amount);

// Int(quantity x unit price): the line amount. Error 6 when it does not fit.
ostrel::Currency LineAmount(ostrel::Currency quantity, ostrel::Currency unitPrice);

}  // namespace vendra
