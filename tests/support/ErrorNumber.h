#pragma once
// The one check of run-time error numbers in every library's tests.
#include "ostrel/RuntimeError.h"

#include <gtest/gtest.h>

namespace vendra::test {

// The number of the run-time error `f` raises, 0 when it raises none; its description goes to
// `description` when one is given.
template <class F>
int errorOf(F&& f, QString* description = nullptr) {
    try {
        f();
    } catch (const ostrel::RuntimeError& e) {
        if (description) *description = e.description();
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
