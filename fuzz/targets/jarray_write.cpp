// The JARRAY writer: a table built from the input (integers, currency, dates, strings, empty
// cells) written by JarrayToTag reads back through TagToJarray as the same table, numbers as
// currency. A string holding a closing tag may be refused (error 5), never written wrongly.
#include "FuzzSupport.h"
#include "LiteralValues.h"
#include "TableCompare.h"

#include "corvane/fncXML.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vendra::fuzz::ByteReader in(data, size);
    ostrel::clsTable table;
    table.setNOF(in.range(1, 8));
    const int rows = in.byte() % 16;
    for (int i = 0; i < rows; ++i) {
        table.AppendBlank();
        for (int j = 0; j < table.NOF(); ++j) table.setFields(j, vendra::fuzz::literalValue(in));
    }

    const corvane::fncXML x;
    QString written;
    if (!vendra::fuzz::refusedOrDone([&] { written = x.JarrayToTag(table); })) return 0;
    const auto back = x.TagToJarray(written);
    ostrel::clsTable expected;
    expected.setNOF(table.NOF());
    for (int i = 0; i < table.RecCount(); ++i) {
        expected.AppendBlank();
        for (int j = 0; j < table.NOF(); ++j) expected.setFields(j, vendra::fuzz::readBack(table.cellRef(i, j)));
    }
    vendra::fuzz::expectSameTable(expected, *back, written);
    return 0;
}
