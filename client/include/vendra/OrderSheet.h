#pragma once
// The order sheet of one delivery date: price list narrowed to the display list, merged with the
// stored order; and the line groups an order update sends from it.
#include "vendra/Requests.h"

#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"

#include <QString>
#include <vector>

namespace vendra {

// Sheet fields.
namespace sheet {
inline constexpr int Name = 0, Unit = 1, Quantity = 2, Price = 3, Vat = 4, Amount = 5, Remark = 6;
inline constexpr int NOF = 7;
}  // namespace sheet

// The grid's column layout of the sheet.
ostrel::Variant OrderSheetStru();

// Price-list records (0 key, 1 price, 2 VAT) whose key is in the display list, in price-list
// order; all of them when none is. The result has three fields.
ostrel::TableRef LoadOrderableItems(const ostrel::clsTable& unitPrices, const ostrel::clsTable& displayItems);

struct MergedSheet {
    ostrel::TableRef table;  // sheet::NOF fields, at its first record
    QString message;         // remark of the last stored record without a product
    bool hasMessage = false;
};

// One row per orderable item, then the stored order added in: quantities of a known product are
// added to its row (amount recomputed), an unknown product gets a row of its own without price.
MergedSheet MergeOrderSheet(const ostrel::clsTable& orderable, const ostrel::clsTable& storedOrder);

// First row with that name and unit, or -1.
int FindProductRow(const ostrel::clsTable& sheetTable, const QString& name, const QString& unit);

// The line groups of every row with a quantity other than zero, in order, then the message group
// when `message` is not empty. Remarks and the message are cut to 255 bytes of code page 949.
// A line whose amount is beyond the currency raises error 6 with AmountTooLargeMessage.
std::vector<OrderLine> CollectOrderLines(const ostrel::clsTable& sheetTable, const QString& message);

// Korean text saying that the amount of sheet row `row` (0-based), product `name`, is too large.
QString AmountTooLargeMessage(int row, const QString& name);

// A cell as currency: empty, and text that is no number, count as 0.
ostrel::Currency CellCurrency(const ostrel::Variant& v);

}  // namespace vendra
