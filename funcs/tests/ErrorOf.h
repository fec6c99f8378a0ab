#pragma once
#include "ostrel/RuntimeError.h"

#include <functional>

// The number of the run-time error `f` raises, 0 when it raises none.
inline int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ostrel::RuntimeError& e) {
        return e.number();
    }
    return 0;
}
