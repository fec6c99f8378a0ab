#pragma once
// Null and empty conversions, and a busy wait.
#include "ostrel/Variant.h"

#include <QString>

namespace ostrel {

class fncFuncs {
public:
    Variant NullToEmpty(const Variant& v) const;
    Variant N2E(const Variant& v) const;  // same as NullToEmpty
    Variant EmptyToNull(const Variant& v) const;
    Variant NullToZerolength(const Variant& v) const;
    Variant ZerolengthToNull(const QString& s) const;
    Variant ZerolengthToEmpty(const QString& s) const;
    // Lets pending events run once, then busy-waits `second` seconds. Returns empty.
    Variant delay(double second) const;
};

}  // namespace ostrel
