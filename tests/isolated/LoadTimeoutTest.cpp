// Loading the real library counts against the time limits: with a DllMain
// that never returns, the first call waits at most timeout_ms for the load,
// the calls during the load decline at once, an EditParam call waits at most
// load_timeout_ms, and a load past load_timeout_ms ends the helper with a
// log line, after which the restart rules apply. Timed: run alone, with
// generous margins.
#include "isolated/IsolatedCopy.h"
#include "isolated/IsolationHost.h"

#include <gtest/gtest.h>

#include <chrono>

using Microsoft::WRL::ComPtr;

namespace {

using Clock = std::chrono::steady_clock;
constexpr long TimeoutMs = 300, LoadTimeoutMs = 3000;
// The helper process's own start (before it loads) and a busy machine.
constexpr long StartMarginMs = 250 + 1000, AtOnceMs = 100;

long MillisecondsSince(Clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

ComPtr<IParamTransactor> HangingTransactor(const std::string& name, Entry entry) {
    const std::wstring copy =
        MakeIsolatedCopy(name, {.library = "ExtHangingLoad.dll", .timeoutMs = TimeoutMs, .editTimeoutMs = 0,
                                .firstLine = "load_timeout_ms = " + std::to_string(LoadTimeoutMs)});
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), LibraryProperty(entry), copy.c_str());
    return transactor;
}

TEST(IsolationLoad, CallsDuringAHangingLoadDeclineUntilTheLoadLimitEndsTheHelper) {
    ComPtr<IParamTransactor> transactor = HangingTransactor("IsoLoadHang", Entry::Explain);
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(DeclinedAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, 1));
    const long first = MillisecondsSince(start);
    EXPECT_GE(first, TimeoutMs - 20) << "the first call waits timeout_ms for the load";
    EXPECT_LE(first, TimeoutMs + StartMarginMs);
    int during = 0;
    while (MillisecondsSince(start) < LoadTimeoutMs - 2 * AtOnceMs) {
        const Clock::time_point call = Clock::now();
        EXPECT_EQ(DeclinedAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, 1));
        EXPECT_LE(MillisecondsSince(call), AtOnceMs) << "a call during the load declines at once";
        ++during;
        Sleep(50);
    }
    EXPECT_GT(during, 10);
    EXPECT_EQ(0u, Occurrences(ReadIsolationLog("IsoLoadHang"), "did not finish loading"));
    Sleep(TimeoutMs + StartMarginMs);  // the load's limit passes
    EXPECT_EQ(DeclinedAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, 1));
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, L"");
    const std::string log = ReadIsolationLog("IsoLoadHang");
    EXPECT_EQ(1u, Occurrences(log, "the library did not finish loading within load_timeout_ms (3000 ms)")) << log;
    EXPECT_EQ(1u, Occurrences(log, "restart 1 of 1000 within a minute")) << log;
}

TEST(IsolationLoad, AnEditCallWaitsAtMostTheLoadLimit) {
    ComPtr<IParamTransactor> transactor = HangingTransactor("IsoLoadHangEdit", Entry::Edit);
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(DeclinedAnswer(Entry::Edit), Operate(*transactor.Get(), Entry::Edit, 1));
    const long waited = MillisecondsSince(start);
    EXPECT_GE(waited, LoadTimeoutMs - 20);
    EXPECT_LE(waited, LoadTimeoutMs + StartMarginMs);
    const std::string log = ReadIsolationLog("IsoLoadHangEdit");
    EXPECT_EQ(1u, Occurrences(log, "did not finish loading within load_timeout_ms")) << log;
}

}  // namespace
