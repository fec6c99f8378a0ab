#pragma once
// Helpers shared by the output tests: tables and structures.
#include "ostrel/clsTable.h"
#include "tessel/Stru.h"

#include <functional>

namespace tavrin::test {

// A table of `records` records whose cell (i, j) is `cell(i, j)`.
inline ostrel::TableRef makeTable(int fields, int records,
                                  const std::function<ostrel::Variant(int, int)>& cell) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(fields);
    for (int i = 0; i < records; ++i) {
        t->AppendBlank();
        for (int j = 0; j < fields; ++j) t->setCell(i, j, cell(i, j));
    }
    return t;
}

inline ostrel::Variant stru(std::vector<ostrel::Variant> defs) { return tessel::makeStru(std::move(defs)); }
inline ostrel::Variant col(const char* type, int width, int dec, const QString& title) {
    return tessel::fieldDef(QString::fromUtf8(type), width, dec, title);
}

}  // namespace tavrin::test
