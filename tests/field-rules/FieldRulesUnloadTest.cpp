// FieldRules.dll reads its rules file at each load and must give everything
// back at each unload, as the sample does (see support/LoadCycles.h).
#include "support/LoadCycles.h"

#include <gtest/gtest.h>

namespace {

// One cycle: load FieldRules.dll (which reads FieldRules.ini next to it),
// explain the voltage field of its rule [1] and free it.
void RunLoadCycle() {
    const FreshExplanation voltage = ExplainInOwnLoad("FieldRules.dll", "", "\xD2\x04", 1);
    ASSERT_TRUE(voltage.called) << "FieldRules.dll did not load or lacks ExplainParam";
    ASSERT_EQ(0, voltage.result);
    ASSERT_EQ("12.34 V", voltage.display);
}

TEST(FieldRulesUnloadTest, RepeatedLoadAndFreeKeepsTlsSlotsHandlesAndMemoryFlat) {
    ExpectFlatUsageOverLoadCycles(RunLoadCycle);
}

}  // namespace
