// The order server's price list import over any file: refused with std::runtime_error naming the
// line, or rows that keep the rules the store relies on.
#include "FuzzSupport.h"

#include "PriceCsv.h"
#include "Wire.h"   // StorableText

#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    std::vector<vendra::server::PriceRow> rows;
    try {
        rows = vendra::server::ParsePriceCsv(bytes);
    } catch (const std::runtime_error&) {
        return 0;
    }
    for (const auto& r : rows) {
        FUZZ_EXPECT(!r.name.isEmpty() && !r.unit.contains(u'_'), r.name + u'_' + r.unit);
        FUZZ_EXPECT(!r.grade.isEmpty() && r.grade != QLatin1String("*"), r.grade);
        FUZZ_EXPECT(r.unitPrice >= ostrel::Currency(), r.unitPrice.toString());
        for (const QString* t : {&r.name, &r.unit, &r.grade, &r.vat})
            FUZZ_EXPECT(vendra::server::StorableText(*t), *t);
    }
    return 0;
}
