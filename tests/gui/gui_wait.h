#pragma once
// Waiting in window tests: on a condition, never on a fixed time.

#include <QTest>
#include <gtest/gtest.h>

// Dispatches events until actual == expected (at most 5 s), then checks it,
// so a failure shows both values.
#define EXPECT_EQ_SOON(actual, expected)                               \
    do {                                                               \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }); \
        EXPECT_EQ(actual, expected);                                   \
    } while (false)
