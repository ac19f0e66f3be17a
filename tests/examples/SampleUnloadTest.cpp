// The sample users copy must unload cleanly: it is loaded and freed as often
// as a long-running host would (see support/LoadCycles.h).
#include "support/LoadCycles.h"

#include <gtest/gtest.h>

namespace {

// One cycle: load the sample, explain a field through it, free it.
void RunLoadCycle() {
    const FreshExplanation voltage = ExplainInOwnLoad("EngineeringUnits.dll", "04D2", "", 1);
    ASSERT_TRUE(voltage.called) << "EngineeringUnits.dll did not load or lacks ExplainParam";
    ASSERT_EQ(0, voltage.result);
    ASSERT_EQ("12.34", voltage.value);
}

TEST(SampleUnloadTest, RepeatedLoadAndFreeKeepsTlsSlotsHandlesAndMemoryFlat) {
    ExpectFlatUsageOverLoadCycles(RunLoadCycle);
}

}  // namespace
