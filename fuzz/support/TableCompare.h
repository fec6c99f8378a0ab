#pragma once
// Compares tables that went through JARRAY text: numbers may come back as currency.
#include "FuzzSupport.h"

#include "ostrel/clsTable.h"

namespace vendra::fuzz {

inline bool sameCell(const ostrel::Variant& a, const ostrel::Variant& b) {
    if (a.identical(b)) return true;
    return a.isNumber() && b.type() == ostrel::VarType::Currency && a == b;
}

// `b` holds what `a` held: the same field count, record count and cells.
inline void expectSameTable(const ostrel::clsTable& a, const ostrel::clsTable& b, const QString& text) {
    FUZZ_EXPECT(a.NOF() == b.NOF(),
                QStringLiteral("NOF %1 read back as %2 from %3").arg(a.NOF()).arg(b.NOF()).arg(text));
    FUZZ_EXPECT(a.RecCount() == b.RecCount(),
                QStringLiteral("%1 records read back as %2 from %3").arg(a.RecCount()).arg(b.RecCount()).arg(text));
    for (int i = 0; i < a.RecCount(); ++i)
        for (int j = 0; j < a.NOF(); ++j)
            FUZZ_EXPECT(sameCell(a.cellRef(i, j), b.cellRef(i, j)),
                        QStringLiteral("cell %1,%2 [%3] read back as [%4] from %5")
                            .arg(i).arg(j).arg(a.cellRef(i, j).toString(), b.cellRef(i, j).toString(), text));
}

}  // namespace vendra::fuzz
