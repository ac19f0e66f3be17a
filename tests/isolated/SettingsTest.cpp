// Every number of an isolated copy's .ini is checked: a value that is
// negative, not a number, too large, empty or with a blank inside is refused
// with one log line naming the key and the value, and the key's default is
// used; the extension works on.
#include "isolated/IsolatedCopy.h"
#include "isolated/IsolationHost.h"

#include <gtest/gtest.h>

using Microsoft::WRL::ComPtr;

namespace {

struct Key {
    const char* name;
    const char* fallback;
};

const Key Keys[] = {{"timeout_ms", "500"}, {"edit_timeout_ms", "0"},   {"load_timeout_ms", "10000"},
                    {"restarts", "3"},     {"memory_mb", "512"},       {"log_kb", "1024"}};
const char* const BadValues[] = {"-1", "99999999999", "abc", "", "1 0"};

TEST(IsolationSettings, EachBadNumberIsLoggedOnceAndItsDefaultUsed) {
    for (const Key& key : Keys)
        for (const char* value : BadValues) {
            const std::string shown = std::string(key.name) + " = \"" + value + "\"";
            SCOPED_TRACE(shown);
            const std::string name = "IsoIni-" + std::string(key.name);
            const std::wstring copy = MakeIsolatedCopy(
                name, {.library = "ExtMisLoop.dll", .firstLine = std::string(key.name) + " = " + value + " ; bad"});
            ComPtr<IParamTransactor> transactor = NewTransactor();
            PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, copy.c_str());
            EXPECT_EQ(GoodAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, 1));
            EXPECT_EQ(GoodAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, 1));
            PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, L"");
            const std::string log = ReadIsolationLog(name);
            EXPECT_EQ(1u, Occurrences(log, shown + " in the .ini is not a whole number from ")) << log;
            EXPECT_EQ(1u, Occurrences(log, std::string("the default ") + key.fallback + " is used")) << log;
            EXPECT_EQ(1u, Occurrences(log, "\r\n")) << "one line, and only that one:\n" << log;
        }
}

// Values longer than a number could be (more than 10 digits, leading zeros
// too) are refused whole, never cut to their start, and the line shows their
// start; a control character in a value is shown, not written into the line.
TEST(IsolationSettings, LongValuesAreRefusedAndShownByTheirStart) {
    const struct {
        std::string line, shown;
    } cases[] = {{"timeout_ms = 500" + std::string(70, ' ') + "9", "timeout_ms = \"500" + std::string(21, ' ') + "...\""},
                 {"restarts = " + std::string(2000, '1'), "restarts = \"" + std::string(24, '1') + "...\""},
                 {"log_kb = " + std::string(27, '0') + "16", "log_kb = \"" + std::string(24, '0') + "...\""},
                 {"memory_mb = 00000000016", "memory_mb = \"00000000016\""},
                 {"restarts = 1\t0", "restarts = \"1\\x090\""}};
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.shown);
        const std::wstring copy = MakeIsolatedCopy("IsoIniLong", {.library = "ExtMisLoop.dll", .firstLine = bad.line});
        ComPtr<IParamTransactor> transactor = NewTransactor();
        PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, copy.c_str());
        EXPECT_EQ(GoodAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, 1));
        PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, L"");
        const std::string log = ReadIsolationLog("IsoIniLong");
        EXPECT_EQ(1u, Occurrences(log, bad.shown + " in the .ini is not a whole number from ")) << log;
        EXPECT_EQ(std::string::npos, log.find('\t')) << log;
    }
}

// timeout_ms = -1 once meant 4294967295 ms: a looping extension froze the host.
TEST(IsolationSettings, ANegativeTimeoutKeepsTheDefaultLimit) {
    const std::wstring copy =
        MakeIsolatedCopy("IsoIniNegative", {.library = "ExtMisLoop.dll", .firstLine = "timeout_ms = -1"});
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, copy.c_str());
    EXPECT_EQ(DeclinedAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, 13));
    const std::string log = ReadIsolationLog("IsoIniNegative");
    EXPECT_NE(std::string::npos, log.find("no answer within 500 ms")) << log;
}

// The edges of the ranges are taken as they are: no line in the log.
TEST(IsolationSettings, NumbersWithinTheirRangesAreTakenSilently) {
    const char* const good[] = {"timeout_ms = 0", "timeout_ms = 600000", "edit_timeout_ms = 86400000",
                                "load_timeout_ms = 1000", "restarts = 1000", "memory_mb = 0", "memory_mb = 4095",
                                "log_kb = 16", "log_kb = 1048576", "restarts = 0007",
                                "log_kb = 0000000016"};
    for (const char* line : good) {
        SCOPED_TRACE(line);
        const std::wstring copy = MakeIsolatedCopy("IsoIniGood", {.library = "ExtMisLoop.dll", .firstLine = line});
        ComPtr<IParamTransactor> transactor = NewTransactor();
        PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, copy.c_str());
        EXPECT_EQ(GoodAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, 1));
        PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, L"");
        EXPECT_EQ("", ReadIsolationLog("IsoIniGood"));
    }
}

}  // namespace
