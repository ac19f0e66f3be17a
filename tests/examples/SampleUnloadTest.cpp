// The sample users copy must unload cleanly: it is loaded and freed as often
// as a long-running host would (see support/LoadCycles.h).
#include "contracts/ExtensionEntryPoints.h"
#include "support/LoadCycles.h"
#include "util/UniqueModule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// One cycle: load the sample, explain a field through it, free it.
void RunLoadCycle() {
    UniqueModule library(LoadLibraryA("EngineeringUnits.dll"));
    ASSERT_TRUE(library) << "EngineeringUnits.dll did not load";
    const auto explain = reinterpret_cast<ExplainParamProc>(
        reinterpret_cast<void*>(GetProcAddress(library.Get(), ExplainParamName)));
    ASSERT_TRUE(explain);
    std::vector<char> valueOut(ExtensionBufferSize), displayOut(ExtensionBufferSize);
    uint16_t code = 0;
    ASSERT_EQ(0, explain("04D2", 4, "", 0, "", 0, 1, &code, valueOut.data(), displayOut.data(), nullptr));
    ASSERT_STREQ("12.34", valueOut.data());
}

TEST(SampleUnloadTest, RepeatedLoadAndFreeKeepsTlsSlotsHandlesAndMemoryFlat) {
    ExpectFlatUsageOverLoadCycles(RunLoadCycle);
}

}  // namespace
