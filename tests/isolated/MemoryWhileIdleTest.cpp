// A helper whose memory passes memory_mb while it waits for the next call is
// replaced before that call, which the new helper serves, with the log line.
// Timed (it waits for the helper's own look at its memory): run alone.
#include "isolated/IsolatedCopy.h"
#include "isolated/IsolationHost.h"

#include <gtest/gtest.h>

using Microsoft::WRL::ComPtr;

namespace {

TEST(IsolationMemory, AHelperPastTheLimitWhileIdleServesNoFurtherCall) {
    const std::wstring copy = MakeIsolatedCopy("IsoGrowIdle", {.library = "ExtMisGrowAfterReturn.dll", .memoryMb = 96});
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, copy.c_str());
    ASSERT_EQ(GoodAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, 1));
    // Commits 128 MiB 300 ms after it returned; the helper looks at least every second.
    ASSERT_EQ(GoodAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, 13));
    Sleep(3000);
    EXPECT_EQ(GoodAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, 1));
    const std::string log = ReadIsolationLog("IsoGrowIdle");
    EXPECT_NE(std::string::npos,
              log.find("passed memory_mb (96 MB) -> helper ended between calls and started again for this call"))
        << log;
}

}  // namespace
