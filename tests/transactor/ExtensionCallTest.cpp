// Calling extension entry points through the one call site: arguments arrive
// in stdcall order, and an entry point built with the wrong calling convention
// or argument count does not unbalance the caller's stack.
#include "transactor/ExtensionCall.h"

#include <gtest/gtest.h>

namespace {

int32_t __stdcall Difference(int32_t a, int32_t b) { return a - b; }
int32_t __cdecl CdeclDifference(int32_t a, int32_t b) { return a - b; }
int32_t __stdcall TakesThree(int32_t a, int32_t b, int32_t c) { return a + b + c; }

template <typename F>
FARPROC Entry(F* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

TEST(ExtensionCall, PassesArgumentsInDeclaredOrder) {
    const ExtensionCallOutcome outcome = CallExtension(Entry(&Difference), {10, 3});
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(7, outcome.result);
    EXPECT_FALSE(outcome.Succeeded());
}

TEST(ExtensionCall, SurvivesWrongCallingConventionAndArgumentCount) {
    volatile int32_t canary = 0x5A5A5A5A;
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(7, CallExtension(Entry(&CdeclDifference), {10, 3}).result);
        EXPECT_EQ(6, CallExtension(Entry(&TakesThree), {1, 2, 3, 4, 5}).result);
    }
    EXPECT_EQ(0x5A5A5A5A, canary);
}

}  // namespace
