#pragma once
// A ledger-like report for the output benchmarks: eight columns of text, numbers and dates.
#include "ostrel/DateTime.h"
#include "ostrel/clsTable.h"
#include "tessel/Stru.h"

namespace tavrinbench {

inline ostrel::Variant reportStru() {
    using tessel::fieldDef;
    return tessel::makeStru({fieldDef("d", 8, 0, "일자"), fieldDef("c", 12, 0, "거래처"), fieldDef("c", 16, 0, "품목"),
                             fieldDef("c", 4, 0, "단위"), fieldDef("n", 8, 1, "수량"), fieldDef("n", 10, 0, "단가"),
                             fieldDef("n", 12, 0, "금액"), fieldDef("c", 10, 0, "비고")});
}

inline ostrel::TableRef reportTable(int records) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(8);
    const ostrel::Date first = ostrel::DateSerial(2024, 1, 1);
    for (int i = 0; i < records; ++i) {
        t->AppendBlank();
        t->setCell(i, 0, ostrel::Date(first.serial + i % 366));
        t->setCell(i, 1, QStringLiteral("한빛청과%1").arg(i % 97));
        t->setCell(i, 2, QStringLiteral("사과 부사 %1호").arg(i % 13));
        t->setCell(i, 3, QStringLiteral("box"));
        t->setCell(i, 4, ostrel::Currency::fromDouble(1 + i % 50 * 0.5));
        t->setCell(i, 5, ostrel::Currency::fromInt(12000 + i % 7 * 500));
        t->setCell(i, 6, ostrel::Currency::fromInt((1 + i % 50) * 12000));
        t->setCell(i, 7, i % 5 == 0 ? QStringLiteral("반품") : QString());
    }
    return t;
}

}  // namespace tavrinbench
