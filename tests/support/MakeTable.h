#pragma once
// Tables for tests, cell by cell.
#include "ostrel/clsTable.h"

#include <functional>

namespace vendra::test {

// A table of `records` records of `fields` fields whose cell (i, j) is `cell(i, j)`.
inline ostrel::TableRef makeTable(int fields, int records, const std::function<ostrel::Variant(int, int)>& cell) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(fields);
    for (int i = 0; i < records; ++i) {
        t->AppendBlank();
        for (int j = 0; j < fields; ++j) t->setCell(i, j, cell(i, j));
    }
    return t;
}

}  // namespace vendra::test
