#pragma once
// Waiting on a condition in widget tests under GoogleTest. QtTest's QTRY_* macros record their
// failures where GoogleTest never looks, so a wait that times out would pass silently.
#include <QTest>
#include <gtest/gtest.h>

#define WAIT_FOR(cond) ASSERT_TRUE(QTest::qWaitFor([&] { return bool(cond); }, 10000)) << #cond

#define WAIT_EQ(actual, expected)                                                         \
    do {                                                                                  \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, 10000);              \
        ASSERT_EQ(actual, expected);                                                      \
    } while (0)
