#pragma once
// Runs a step of a test many times, stopping at the first failing run so that
// one fault is reported once, not a thousand times.

#include <gtest/gtest.h>

// Runs `step` `count` times; false when a run failed.
template <typename Step>
bool RepeatUntilFailure(int count, Step&& step) {
    for (int run = 0; run < count; ++run) {
        step();
        if (testing::Test::HasFailure()) return false;
    }
    return true;
}
