#pragma once
// Values that literal style carries without loss (empty, integers, currency, dates, strings),
// drawn from the input, and what reading them back must give.
#include "FuzzSupport.h"

#include "ostrel/DateTime.h"
#include "ostrel/Variant.h"

namespace vendra::fuzz {

inline ostrel::Variant literalValue(ByteReader& in) {
    switch (in.byte() % 6) {
    case 0: return {};
    case 1: return static_cast<int16_t>(in.u16());
    case 2: return static_cast<int32_t>(in.u32());
    case 3: return ostrel::Currency::fromRaw(static_cast<int64_t>(in.u64()));
    case 4: {
        // A calendar day of years 100 to 9999, with or without a time of day.
        const int year = in.range(100, 9999), month = in.range(1, 12), day = in.range(1, 31);
        const int second = in.byte() % 2 ? in.range(0, 86399) : 0;
        double serial = ostrel::DateSerial(year, month, day).serial;
        const double time = ostrel::TimeSerial(second / 3600, second / 60 % 60, second % 60);
        if (in.byte() % 4 == 0) return ostrel::Date(time);  // a time alone
        return ostrel::Date(serial < 0 ? serial - time : serial + time);
    }
    default: return in.shortText();
    }
}

// What literal style gives back: numbers as currency, everything else as it was.
inline ostrel::Variant readBack(const ostrel::Variant& v) {
    if (v.isNumber()) return v.toCurrency();
    return v;
}

}  // namespace vendra::fuzz
