#pragma once
#include "ostrel/RuntimeError.h"

#include <functional>
#include <gtest/gtest.h>

// The number of the run-time error `f` raises, 0 when it raises none.
inline int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ostrel::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// Expects error `number` from `f`.
template <class F>
void expectError(int number, F f) {
    try {
        f();
        ADD_FAILURE() << "no error raised, expected " << number;
    } catch (const ostrel::RuntimeError& e) {
        EXPECT_EQ(e.number(), number) << e.what();
    }
}
