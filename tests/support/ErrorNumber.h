#pragma once
// The one check of run-time error numbers in every library's tests.
#include "ostrel/RuntimeError.h"

#include <gtest/gtest.h>

namespace vendra::test {

// The number of the run-time error `f` raises, 0 when it raises none.
template <class F>
int errorOf(F&& f) {
    try {
        f();
    } catch (const ostrel::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// Expects error `number` from `f`.
template <class F>
void expectError(int number, F&& f) {
    try {
        f();
        ADD_FAILURE() << "no error raised, expected " << number;
    } catch (const ostrel::RuntimeError& e) {
        EXPECT_EQ(e.number(), number) << e.what();
    }
}

}  // namespace vendra::test
