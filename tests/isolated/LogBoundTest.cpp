// The log of an isolated extension stays within its bound: an extension that
// fails the same way at every call is written once a minute and counted, and
// every event is accounted for.
#include "isolated/IsolatedCopy.h"
#include "isolated/IsolationHost.h"

#include <gtest/gtest.h>

using Microsoft::WRL::ComPtr;

namespace {

TEST(IsolationLogBound, OneHundredThousandFaultsStayWithinTwiceTheBound) {
    constexpr int Calls = 100000, LogKb = 16;
    const std::wstring copy =
        MakeIsolatedCopy("IsoLogBound", {.library = "ExtMisUnterminated.dll", .logKb = LogKb});
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ObscureLibrary, copy.c_str());
    for (int call = 0; call < Calls; ++call)
        ASSERT_EQ(DeclinedAnswer(Entry::Obscure), Operate(*transactor.Get(), Entry::Obscure, 13)) << call;
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ObscureLibrary, L"");  // unloaded: the counts written
    const std::string log = ReadIsolationLog("IsoLogBound");
    std::ifstream older("IsoLogBound.log.1", std::ios::binary);
    const std::string olderLog((std::istreambuf_iterator<char>(older)), std::istreambuf_iterator<char>());
    EXPECT_LE(log.size() + olderLog.size(), 2u * LogKb * 1024);
    EXPECT_EQ(static_cast<uint64_t>(Calls), LoggedEvents(olderLog) + LoggedEvents(log)) << log;
    EXPECT_NE(std::string::npos, log.find("without its terminating zero")) << "the last event: " << log;
}

}  // namespace
