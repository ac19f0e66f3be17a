// FieldRules.dll reads its rules file at each load and must give everything
// back at each unload, as the sample does (see support/LoadCycles.h).
#include "contracts/ExtensionEntryPoints.h"
#include "support/LoadCycles.h"
#include "util/UniqueModule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// One cycle: load FieldRules.dll (which reads FieldRules.ini next to it),
// explain the voltage field of its rule [1] and free it.
void RunLoadCycle() {
    UniqueModule library(LoadLibraryA("FieldRules.dll"));
    ASSERT_TRUE(library) << "FieldRules.dll did not load";
    const auto explain = reinterpret_cast<ExplainParamProc>(
        reinterpret_cast<void*>(GetProcAddress(library.Get(), ExplainParamName)));
    ASSERT_TRUE(explain);
    std::vector<char> valueOut(ExtensionBufferSize), displayOut(ExtensionBufferSize);
    uint16_t code = 0;
    ASSERT_EQ(0, explain("", 0, "", 0, "\xD2\x04", 2, 1, &code, valueOut.data(), displayOut.data(), nullptr));
    ASSERT_STREQ("12.34 V", displayOut.data());
}

TEST(FieldRulesUnloadTest, RepeatedLoadAndFreeKeepsTlsSlotsHandlesAndMemoryFlat) {
    ExpectFlatUsageOverLoadCycles(RunLoadCycle);
}

}  // namespace
