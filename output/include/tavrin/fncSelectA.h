#pragma once
// Modal selection over a table: look at and edit rows (selectb), or tick the rows to keep (selecta).
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"

#include <QString>

namespace tavrin {

class fncSelectA {
public:
    // Ticks rows in a leading "선택" column (all set to `bDefault` at first). On OK `a` keeps only
    // the ticked rows, in order, and the result is true; otherwise `a` is left as it was.
    bool selecta(const QString& sTitle, ostrel::TableRef& a, const ostrel::Variant& stru, bool bDefault,
                 float nFontSize = 12) const;
    // Shows `a` for editing. On OK `a` refers to the grid's table (with the edits) and the result
    // is true; on Cancel or the close box the result is false and `a` is untouched. A font size of
    // 0 keeps 12.
    bool selectb(const QString& sTitle, ostrel::TableRef& a, const ostrel::Variant& stru, float nFontSize = 12) const;
};

}  // namespace tavrin
