#pragma once
// The component loads and frees an extension library every time a library
// path changes or a transactor is released, so a host that creates
// transactors often loads the same extension thousands of times. An
// extension must give back at every unload what its load took: a library
// that keeps one thread-local storage slot per load makes the process abort
// at a load once the process's 1088 slots are used up.

#include "contracts/ExtensionEntryPoints.h"
#include "support/ProcessUsage.h"
#include "support/Repeat.h"
#include "util/UniqueModule.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace load_cycles {

inline constexpr int WarmUpCycles = 3;       // caches and lazily loaded system modules settle
inline constexpr int MeasuredCycles = 1200;  // more loads than the process has slots
// Usage is compared every so many cycles, so that a leaking library fails
// the test with a message before the slots run out and a load aborts.
inline constexpr int CyclesPerCheck = 100;

// What may change over all measured cycles without being a leak. A C++
// library with its runtime linked in took a slot, 2 handles and about 19 KB of
// heap per cycle.
inline constexpr int TlsSlotLossBound = 2;
inline constexpr DWORD HandleGrowthBound = 2;
inline constexpr SIZE_T HeapBytesGrowthBound = 8 * 1024;

}  // namespace load_cycles

// Runs `cycle` (load a library, use it, free it) 1200 times after a few
// warm-up cycles, and expects the free thread-local storage slots, the
// handles and the busy heap to stay flat.
template <typename Cycle>
void ExpectFlatUsageOverLoadCycles(Cycle&& cycle) {
    using namespace load_cycles;
    ASSERT_TRUE(RepeatUntilFailure(WarmUpCycles, cycle));
    const int freeTlsSlotsBefore = CountFreeTlsSlots();
    const ProcessUsage before = CurrentProcessUsage();
    for (int done = 0; done < MeasuredCycles && !testing::Test::HasFailure(); done += CyclesPerCheck) {
        ASSERT_TRUE(RepeatUntilFailure(CyclesPerCheck, cycle));
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

// What one ExplainParam call of a freshly loaded library gave.
struct FreshExplanation {
    bool called = false;  // the library loaded and exports ExplainParam
    int32_t result = 1;
    std::string value, display;
};

// Loads `library`, explains one field through its ExplainParam (no
// parameter object) and frees the library again.
inline FreshExplanation ExplainInOwnLoad(const char* library, std::string_view valueText, std::string_view field,
                                         int32_t paramId) {
    FreshExplanation explanation;
    const UniqueModule module(LoadLibraryA(library));
    const auto explain = module ? reinterpret_cast<ExplainParamProc>(reinterpret_cast<void*>(
                                      GetProcAddress(module.Get(), ExplainParamName)))
                                : nullptr;
    if (!explain) return explanation;
    std::vector<char> valueOut(ExtensionBufferSize), displayOut(ExtensionBufferSize);
    uint16_t code = 0;
    explanation.called = true;
    explanation.result = explain(valueText.data(), static_cast<int32_t>(valueText.size()), "", 0, field.data(),
                                 static_cast<int32_t>(field.size()), paramId, &code, valueOut.data(),
                                 displayOut.data(), nullptr);
    explanation.value = valueOut.data();
    explanation.display = displayOut.data();
    return explanation;
}
