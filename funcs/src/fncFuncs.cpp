#include "ostrel/fncFuncs.h"

#include "ostrel/RuntimeError.h"

#include <QCoreApplication>
#include <chrono>
#include <cmath>
#include <thread>

namespace ostrel {

Variant fncFuncs::NullToEmpty(const Variant& v) const { return v.isNull() ? Variant() : v; }

Variant fncFuncs::N2E(const Variant& v) const { return NullToEmpty(v); }

Variant fncFuncs::EmptyToNull(const Variant& v) const { return v.isEmpty() ? Variant::null() : v; }

Variant fncFuncs::NullToZerolength(const Variant& v) const { return v.isNull() ? Variant(QString()) : v; }

Variant fncFuncs::ZerolengthToNull(const QString& s) const { return s.isEmpty() ? Variant::null() : Variant(s); }

Variant fncFuncs::ZerolengthToEmpty(const QString& s) const { return s.isEmpty() ? Variant() : Variant(s); }

Variant fncFuncs::delay(double second) const {
    if (std::isinf(second)) throw RuntimeError::overflow(QStringLiteral("endless delay"));
    // A monotonic clock: wall-clock seconds in single precision move in steps of minutes at
    // today's serials, and a clock change or midnight would stretch or cut the wait.
    const auto start = std::chrono::steady_clock::now();
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    // Busy: the caller is blocked for the whole period and no further events run meanwhile.
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < second)
        std::this_thread::yield();
    return {};
}

}  // namespace ostrel
