#pragma once
// The report the output tests print, show and export.
#include "MakeTable.h"
#include "ostrel/DateTime.h"
#include "tessel/Stru.h"

namespace tavrin::test {

// The first `columns` of: item (text), quantity (number) and date.
inline ostrel::Variant reportStru(int columns = 3) {
    std::vector<ostrel::Variant> all{tessel::fieldDef("c", 10, 0, "품목"), tessel::fieldDef("n", 8, 0, "수량"),
                                     tessel::fieldDef("d", 8, 0, "일자")};
    all.resize(size_t(columns));
    return tessel::makeStru(std::move(all));
}

// `n` records: "item <i>", i x 1000 and 2024-03-05.
inline ostrel::TableRef items(int n) {
    return vendra::test::makeTable(3, n, [](int i, int j) -> ostrel::Variant {
        if (j == 0) return QStringLiteral("item %1").arg(i);
        return j == 1 ? ostrel::Variant(int32_t(i * 1000)) : ostrel::Variant(ostrel::DateSerial(2024, 3, 5));
    });
}

}  // namespace tavrin::test
