#pragma once
// Value-added tax arithmetic of one order line. Every amount is currency; Int is the floor.
#include "ostrel/Currency.h"

#include <QString>

namespace vendra {

struct VatParts {
    ostrel::Currency Gg;  // supply value
    ostrel::Currency Gv;  // tax
    ostrel::Currency Gt;  // total
};

// The supply value inside a tax-inclusive amount: 10/11 of it, a fraction of exactly 1/11 dropped
// and any larger fraction raised to the next whole number (1000 -> 909, 1002 -> 911).
ostrel::Currency SupplyFromGross(ostrel::Currency amount);

// "+" price without tax (tax = Int(amount / 10) on top), "/" price with tax (supply taken out by
// SupplyFromGross), anything else tax-free.
VatParts SplitVat(const QString& flag, ostrel::Currency amount);

// Int(quantity x unit price): the line amount.
ostrel::Currency LineAmount(ostrel::Currency quantity, ostrel::Currency unitPrice);

}  // namespace vendra
