// The component loads and frees an extension library every time a library
// path changes or a transactor is released, so a host that creates
// transactors often loads the same extension thousands of times. The sample
// users copy must give back at every unload what its load took: a library
// that keeps one thread-local storage slot per load makes the process abort
// at a load once the process's 1088 slots are used up.
#include "contracts/ExtensionEntryPoints.h"
#include "ProcessUsage.h"
#include "support/Repeat.h"
#include "util/UniqueModule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int WarmUpCycles = 3;       // caches and lazily loaded system modules settle
constexpr int MeasuredCycles = 1200;  // more loads than the process has slots
// Usage is compared every so many cycles, so that a leaking library fails
// the test with a message before the slots run out and a load aborts.
constexpr int CyclesPerCheck = 100;

// What may change over all measured cycles without being a leak. A C++
// library with its runtime linked in took a slot, 2 handles and about 19 KB of
// heap per cycle.
constexpr int TlsSlotLossBound = 2;
constexpr DWORD HandleGrowthBound = 2;
constexpr SIZE_T HeapBytesGrowthBound = 8 * 1024;

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

bool RunLoadCycles(int count) { return RepeatUntilFailure(count, RunLoadCycle); }

TEST(SampleUnloadTest, RepeatedLoadAndFreeKeepsTlsSlotsHandlesAndMemoryFlat) {
    ASSERT_TRUE(RunLoadCycles(WarmUpCycles));
    const int freeTlsSlotsBefore = CountFreeTlsSlots();
    const ProcessUsage before = CurrentProcessUsage();
    for (int done = 0; done < MeasuredCycles && !HasFailure(); done += CyclesPerCheck) {
        ASSERT_TRUE(RunLoadCycles(CyclesPerCheck));
        const int freeTlsSlots = CountFreeTlsSlots();
        const ProcessUsage usage = CurrentProcessUsage();
        const int cycles = done + CyclesPerCheck;
        EXPECT_GE(freeTlsSlots, freeTlsSlotsBefore - TlsSlotLossBound)
            << "free thread-local storage slots after " << cycles << " cycles";
        EXPECT_LE(usage.handles, before.handles + HandleGrowthBound) << "handles after " << cycles << " cycles";
        EXPECT_LE(usage.heapBytes, before.heapBytes + HeapBytesGrowthBound)
            << "busy heap bytes after " << cycles << " cycles";
    }
}

}  // namespace
