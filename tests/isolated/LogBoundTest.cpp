// The log of an isolated extension stays within its bound: an extension that
// fails the same way at every call is written once a minute and counted, and
// every event is accounted for.
#include "isolated/IsolatedCopy.h"
#include "isolated/IsolationHost.h"

#include <gtest/gtest.h>

#include <regex>

using Microsoft::WRL::ComPtr;

namespace {

// The events a log accounts for: one per line, and for a summary line the
// ones it says it counted (the line shows the last of them).
uint64_t EventsIn(const std::string& log) {
    uint64_t events = 0;
    static const std::regex more(R"(\.\.\. and ([0-9,]+) more like this in the last minute)");
    size_t start = 0;
    for (size_t end = log.find("\r\n"); end != std::string::npos; start = end + 2, end = log.find("\r\n", start)) {
        const std::string line = log.substr(start, end - start);
        std::smatch counted;
        if (!std::regex_search(line, counted, more)) {
            ++events;
            continue;
        }
        std::string digits = counted[1];
        std::erase(digits, ',');
        events += std::stoull(digits);
    }
    return events;
}

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
    EXPECT_EQ(static_cast<uint64_t>(Calls), EventsIn(olderLog) + EventsIn(log)) << log;
    EXPECT_NE(std::string::npos, log.find("without its terminating zero")) << "the last event: " << log;
}

}  // namespace
