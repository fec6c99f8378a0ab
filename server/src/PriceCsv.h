#pragma once
// The price list file of "prices import".
#include "Store.h"

#include <QByteArray>
#include <vector>

namespace vendra::server {

// Price list lines "name,unit,grade,unit price,VAT flag" in UTF-8 or code page 949 (a header line
// is allowed). Throws std::runtime_error naming the first bad line; nothing is half-read.
std::vector<PriceRow> ParsePriceCsv(const QByteArray& bytes);

}  // namespace vendra::server
