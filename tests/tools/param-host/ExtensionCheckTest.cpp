// `param_host check` on real extension libraries: every test extension is
// reported with exactly the finding it was made with and nothing else, the
// good ones with none; each finding names the entry point, a reason and a fix.
#include "check/ExportCheck.h"
#include "check/ExtensionCheck.h"
#include "check/ProbedCall.h"
#include "check/SubjectProtocol.h"
#include "check/TextEncoding.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

// Few unload cycles: a library that leaks does so at every one. Parameter ids
// 0 to 3 are enough for every subject to show what it does.
constexpr int Cycles = 10;
constexpr int LateMs = 100;

struct Subject {
    const wchar_t* library;
    std::set<std::string> findings;  // "EntryPoint kind", or " kind" for the library as a whole
    const wchar_t* named = L"";      // a text one of the findings (or notes) must hold
    bool edit = false;               // EditParam is called too
    int lateMs = LateMs;
};

// param_host.exe beside this test program hosts the subjects.
std::wstring HostProgram() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"param_host.exe";
}

CheckReport Check(const Subject& subject) {
    CheckOptions options;
    options.library = subject.library;
    options.cycles = Cycles;
    options.paramIds = {0, 1, 2, 3};
    options.edit = subject.edit;
    options.lateMs = subject.lateMs;
    options.hostProgram = HostProgram();
    return CheckExtension(options, nullptr);
}

const Subject Subjects[] = {
    {L"EngineeringUnits.dll", {}},
    {L"ExtSucceed.dll", {}},
    {L"ExtCdab.dll", {}},
    {L"FieldRules.dll", {}},  // with the example rules beside it
    {L"ExtNoEntry.dll", {" no-entry-point"}, L"SomethingElse"},
    {L"ExtRefuse.dll", {}, L"declined (result 1) all 36 calls, with parameter ids 0,1,2,3"},
    {L"ExtNullPointer.dll", {"ExplainParam fault", "ObscureParam fault", "EditParam fault"}, L"0xC0000005", true},
    {L"ExtDivideByZero.dll", {"ExplainParam fault", "ObscureParam fault"}, L"0xC0000094"},
    {L"ExtRaiseCustom.dll", {"ExplainParam fault", "ObscureParam fault"}, L"0xE0C0FFEE"},
    {L"ExtMsvcThrow.dll", {"ExplainParam fault", "ObscureParam fault"}, L"catch (...)"},
    {L"ExtWrongConvention.dll",
     {"ExplainParam cdecl", "ObscureParam argument-count", "EditParam argument-count"},
     L"declared with 6 arguments instead of 11", true},
    // Its ObscureParam also reports success without digits, which the component ignores.
    {L"ExtClobberRegisters.dll",
     {"ExplainParam clobbered-registers", "ObscureParam clobbered-registers", "ObscureParam empty-success"},
     L"EBX, ESI, EDI, EBP changed, direction flag left set"},
    {L"ExtCdabNoDef.dll",
     {"ExplainParam decorated-export", "ObscureParam decorated-export"},
     L"ObscureParam = ObscureParam@44"},
    {L"ExtCdabCdecl.dll", {"ExplainParam cdecl", "ObscureParam cdecl"}, L"__stdcall"},
    {L"ExtCdabUnterminated.dll",
     {"ExplainParam unterminated-output", "ObscureParam unterminated-output"},
     L"\"21.5\" and no zero byte"},
    {L"ExtCdabUtf8.dll", {"ExplainParam utf8-output"},
     L"which read as GBK \"21.5 掳C\" (what the operator sees) and as UTF-8 \"21.5 °C\""},
    {L"ExtOverrun.dll", {"ExplainParam writes-past-buffer"}, L"display out"},
    {L"ExtNonDigits.dll", {"ObscureParam non-digit-output"}, L"'.' is not a decimal digit"},
    {L"ExtLeaky.dll", {" leaks-per-unload"}, L"thread-local storage slots run out"},
    {L"ExtKeepsParam.dll", {"ExplainParam param-kept"}, L"GetParamId after the call had returned, from another thread"},
    // One mistake each (tests/extensions/checker), and correct ones the checker once got wrong.
    {L"CheckHeapOverrun.dll", {"ExplainParam heap-damaged"}, L"first with the empty field and parameter id 2"},
    {L"CheckCallLeak48.dll", {"ExplainParam leaks-per-call"}, L"per call, heap bytes 48"},
    {L"CheckCallLeak24.dll", {"ExplainParam leaks-per-call"}, L"per call, heap bytes 24"},
    {L"CheckCallLeak8.dll", {}},  // 64 bytes every 8 calls: below the limit of 16 a call
    {L"CheckCallReserve64.dll", {"ExplainParam leaks-per-call", " leaks-per-unload"}, L"address space bytes 65536"},
    {L"CheckReserve1024.dll", {" leaks-per-unload"}, L"address space 1024 KiB"},
    {L"CheckReserve80.dll", {" leaks-per-unload"}, L"address space 80 KiB"},
    {L"CheckReserve48.dll", {}},  // below the limit of 64 KiB a load
    {L"CheckTlsNoFree.dll", {" leaks-per-unload"}, L"DllMain at DLL_PROCESS_DETACH what the library took: TlsFree"},
    {L"CheckLoadFault.dll", {" load-fails"}, L"0xC0000005 (access violation)"},
    {L"CheckLoadDivide.dll", {" load-fails"}, L"its DllMain raised 0xC0000094 (integer division by zero)"},
    {L"CheckLoadRaise.dll", {" load-fails"}, L"its DllMain raised 0xE0000001"},
    {L"CheckLoadBreak.dll", {" load-fails"}, L"its DllMain raised 0x80000003"},
    {L"CheckLoadRaisePrint.dll", {" load-fails"}, L"its DllMain raised 0x40010006"},
    {L"CheckLoadFalse.dll", {" load-fails"}, L"its DllMain returned FALSE"},
    {L"CheckExitAt2ndLoad.dll", {" process-ended"}, L"at its 2nd load, loading the library ends the process"},
    {L"CheckFalseAt2ndLoad.dll", {" load-fails"}, L"failed to load at its 2nd load"},
    {L"CheckFalseAt9thLoad.dll", {" load-fails"}, L"failed to load at its 9th load"},
    {L"CheckSlowLoad.dll", {" hangs"}, L"in the load and free cycles, the process stopped answering"},
    {L"CheckLateThread.dll", {"ExplainParam param-kept"}, L"GetParamId after the call had returned", false, 2000},
    {L"CheckNotGbk.dll", {"ExplainParam not-gbk-output"}, L"the host shows \"25?\""},
    {L"CheckCorrectGbk.dll", {}},
    {L"CheckUnusedExport.dll", {}},
    {L"CheckEditWindow.dll", {}, L"EditParam was not called"},
    {L"CheckSlow.dll", {"ExplainParam slow"}, L"per call on a typical field"},
    {L"CheckOnly5000.dll", {}, L"with parameter ids 0,1,2,3; Explain uses its built-in path for them"},
    {L"CheckExit.dll", {"ExplainParam process-ended"}, L"exit code 7"},
    {L"CheckAbort.dll", {"ExplainParam process-ended"}, L"abort()"},
    // Forged "end" records: the process still ended, and the calls not made are no clean verdict.
    {L"CheckForgeEnd.dll", {"ExplainParam process-ended"}, L"ends the process with exit code 0"},
    {L"CheckForgeEndAtLoad.dll", {" process-ended"}, L"loading the library ends the process with exit code 0"},
    {L"CheckForgeEndOnPipes.dll",
     {"ExplainParam process-ended", "ObscureParam process-ended"},
     L"none of its 36 planned calls was made: the process that makes them reported its calls done"},
    {L"CheckPrintsDebug.dll", {}},
    {L"CheckThreadFault.dll", {" process-ended"}, L"a thread the library started ends the process with 0xC0000005"},
    {L"CheckEndless.dll", {"ExplainParam hangs"}, L"first with the empty field and parameter id 1"},
    {L"CheckHeapLockThread.dll", {"ExplainParam hangs"},
     L"the process stopped answering after the call returned (a lock or a thread of the library left behind)"},
    // A MinGW C++ library: its runtime also stays behind at every unload.
    {L"CheckCppThrow.dll", {"ExplainParam process-ended", " leaks-per-unload"}, L"catch (...)"},
    {L"CheckStateEBX.dll", {"ExplainParam clobbered-registers", "ObscureParam clobbered-registers"}, L"EBX changed"},
    {L"CheckStateESI.dll", {"ExplainParam clobbered-registers", "ObscureParam clobbered-registers"}, L"ESI changed"},
    {L"CheckStateEDI.dll", {"ExplainParam clobbered-registers", "ObscureParam clobbered-registers"}, L"EDI changed"},
    {L"CheckStateEBP.dll", {"ExplainParam clobbered-registers", "ObscureParam clobbered-registers"}, L"EBP changed"},
    {L"CheckStateDF.dll",
     {"ExplainParam clobbered-registers", "ObscureParam clobbered-registers"},
     L"returns with direction flag left set"},
    {L"CheckStateX87_STACK.dll",
     {"ExplainParam clobbered-registers", "ObscureParam clobbered-registers"},
     L"returns with the x87 register stack not left empty"},
    {L"CheckStateX87_CONTROL.dll",
     {"ExplainParam clobbered-registers", "ObscureParam clobbered-registers"},
     L"the x87 control word changed from 0x037F to 0x047F"},
    {L"CheckStateMXCSR.dll",
     {"ExplainParam clobbered-registers", "ObscureParam clobbered-registers"},
     L"MXCSR changed from 0x1F80 to 0xFF00"},
};

std::set<std::string> Kinds(const CheckReport& report) {
    std::set<std::string> kinds;
    for (const Finding& finding : report.findings) kinds.insert(finding.entryPoint + " " + finding.kind);
    return kinds;
}

bool AnyFindingHolds(const CheckReport& report, const std::wstring& text) {
    const auto holds = [&](const Finding& finding) {
        return (finding.reason + L" " + finding.fix).find(text) != std::wstring::npos;
    };
    const auto noted = [&](const std::wstring& note) { return note.find(text) != std::wstring::npos; };
    return text.empty() || std::ranges::any_of(report.findings, holds) || std::ranges::any_of(report.notes, noted);
}

// One test per subject, so that CTest can check them side by side (shards).
class EachSubject : public testing::TestWithParam<Subject> {};

TEST_P(EachSubject, IsReportedWithExactlyItsFindings) {
    const Subject& subject = GetParam();
    // The subjects that fail at their Nth load count their loads here.
    const std::wstring loads = std::wstring(subject.library) + L".loads";
    DeleteFileW(loads.c_str());
    SetEnvironmentVariableW(L"CHECK_LOAD_COUNT_FILE", loads.c_str());
    const CheckReport report = Check(subject);
    SetEnvironmentVariableW(L"CHECK_LOAD_COUNT_FILE", nullptr);
    EXPECT_EQ(subject.findings, Kinds(report));
    EXPECT_TRUE(AnyFindingHolds(report, subject.named)) << "no finding says: " << testing::PrintToString(subject.named);
    for (const Finding& finding : report.findings) EXPECT_FALSE(finding.reason.empty() || finding.fix.empty());
}

std::string SubjectName(const testing::TestParamInfo<Subject>& info) {
    std::string name;
    for (const wchar_t* c = info.param.library; *c && *c != L'.'; ++c)
        if (std::iswalnum(*c)) name += static_cast<char>(*c);
    return name;
}

INSTANTIATE_TEST_SUITE_P(ExtensionCheck, EachSubject, testing::ValuesIn(Subjects), SubjectName);

// The checker's own processor state, which a probed call must leave as it was.
struct OwnState {
    uint32_t mxcsr = 0;
    uint16_t x87Control = 0;
    uint32_t flags = 0;
    bool operator==(const OwnState&) const = default;
};

OwnState ReadOwnState() {
    OwnState state;
    __asm__ volatile("stmxcsr %0\n fnstcw %1\n pushfl\n popl %2"
                     : "=m"(state.mxcsr), "=m"(state.x87Control), "=r"(state.flags));
    state.flags &= 0x400;  // the direction flag
    return state;
}

TEST(ExtensionCheck, AProbedCallLeavesTheCheckersOwnProcessorStateAsItWas) {
    for (const wchar_t* subject : {L"CheckStateMXCSR.dll", L"CheckStateX87_CONTROL.dll", L"CheckStateDF.dll"}) {
        SCOPED_TRACE(testing::Message() << subject);
        const HMODULE library = LoadLibraryW(subject);
        ASSERT_NE(nullptr, library);
        char value[4096] = {}, display[4096] = {};
        uint16_t code = 0;
        const auto address = [](const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); };
        const uint32_t arguments[11] = {address(""), 0, address(""), 0, address(""), 0, 1, address(&code),
                                        address(value), address(display), 0};
        const OwnState before = ReadOwnState();
        const ProbedCall call = CallProbed(GetProcAddress(library, "ExplainParam"), arguments);
        const OwnState after = ReadOwnState();
        EXPECT_TRUE(call.completed);
        EXPECT_NE(0u, call.registerChanges) << "the subject changed the state";
        EXPECT_EQ(before.mxcsr, after.mxcsr);
        EXPECT_EQ(before.x87Control, after.x87Control);
        EXPECT_EQ(before.flags, after.flags);
        FreeLibrary(library);
    }
}

const EntryPointReport& Entry(const CheckReport& report, EntryPoint entryPoint) {
    return report.entryPoints.at(static_cast<size_t>(entryPoint));
}

TEST(ExtensionCheck, NeverCallsAnExportItDoesNotKnow) {
    // Its InitParam would end the process: the verdict is clean only if it is never called.
    const CheckReport report = Check({L"CheckUnusedExport.dll", {}});
    EXPECT_EQ(std::vector<std::string>{"InitParam"}, report.unusedExports);
    EXPECT_TRUE(report.findings.empty());
}

TEST(ExtensionCheck, CallsEditParamOnlyWhenAskedAndThenAFewTimes) {
    EXPECT_EQ(0, Entry(Check({L"CheckEditWindow.dll", {}}), EntryPoint::Edit).calls);
    const CheckReport report = Check({L"CheckEditWindow.dll", {}, L"", true});
    EXPECT_EQ(3, Entry(report, EntryPoint::Edit).calls);
    EXPECT_EQ(3, Entry(report, EntryPoint::Edit).accepted);
    EXPECT_TRUE(report.findings.empty());
}

// What a library prints goes nowhere: its lines, "end" among them, are no
// records, and every call is counted: 9 inputs of Explain and 8 of Obscure,
// with each of the 4 ids.
TEST(ExtensionCheck, CountsEveryCallOfALibraryThatPrints) {
    const CheckReport report = Check({L"CheckPrintsDebug.dll", {}});
    EXPECT_TRUE(report.findings.empty());
    EXPECT_EQ(36, Entry(report, EntryPoint::Explain).calls);
    EXPECT_EQ(36, Entry(report, EntryPoint::Explain).accepted);
    EXPECT_EQ(32, Entry(report, EntryPoint::Obscure).calls);
    EXPECT_EQ(32, Entry(report, EntryPoint::Obscure).accepted);
}

TEST(ExtensionCheck, TriesTheParameterIdsItIsGiven) {
    Subject subject{L"CheckOnly5000.dll", {}};
    CheckOptions options;
    options.library = subject.library;
    options.cycles = 0;
    options.paramIds = {1, 2, 5000};
    options.lateMs = LateMs;
    options.hostProgram = HostProgram();
    const CheckReport report = CheckExtension(options, nullptr);
    EXPECT_TRUE(report.findings.empty());
    EXPECT_TRUE(report.notes.empty());
    EXPECT_EQ(9, Entry(report, EntryPoint::Explain).accepted);  // every input with id 5000
}

TEST(ExtensionCheck, NamesInOtherCaseOrDecoratedOnlyAreFoundAndNothingElseIs) {
    struct Case {
        std::vector<std::string> exported;
        std::string explainFoundAs;  // empty: not found
        std::string finding;         // kind, empty for none
    };
    const Case cases[] = {
        {{"ExplainParam"}, "ExplainParam", ""},
        {{"_ExplainParam@44"}, "_ExplainParam@44", "decorated-export"},
        {{"ExplainParam@44"}, "ExplainParam@44", "decorated-export"},
        {{"explainparam"}, "explainparam", "misspelt-export"},
        {{"EXPLAINPARAM", "InitParam"}, "EXPLAINPARAM", "misspelt-export"},
        {{"InitParam", "ObscureParam"}, "", ""},
        {{"ExplainParams", "ObscureParam"}, "", ""},
        {{"ExplainParm", "ObscureParam"}, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.exported));
        std::vector<Finding> findings;
        std::vector<std::string> unused;
        const auto found = FindEntryPoints(c.exported, findings, unused);
        EXPECT_EQ(c.explainFoundAs, found[0].exportName);
        std::string kinds;
        for (const Finding& finding : findings) kinds += finding.kind;
        EXPECT_EQ(c.finding, kinds);
        for (const std::string& name : unused) EXPECT_NE(c.explainFoundAs, name);
    }
}

// The rules extension copied under a station's name reads the rules file of
// that name, and is checked with it.
TEST(ExtensionCheck, ChecksTheRulesOfTheRulesExtensionUnderAnyName) {
    const std::wstring folder = L"check-rules-copies";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(L"FieldRules.dll", (folder + L"\\PumpStation.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(L"FieldRules.dll", (folder + L"\\Boiler.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(L"FieldRules.ini", (folder + L"\\Boiler.ini").c_str(), FALSE));
    {
        std::ofstream broken("check-rules-copies\\PumpStation.ini", std::ios::binary);
        broken << "[1]\ntype = u17\n[2]\ntype = u16\nnames = 0:stop, 1 run\n";
    }
    const CheckReport pump = Check({L"check-rules-copies\\PumpStation.dll", {}});
    EXPECT_EQ(std::set<std::string>{" rules-file"}, Kinds(pump));
    EXPECT_TRUE(AnyFindingHolds(pump, L"PumpStation.ini has 2 problems"));
    const CheckReport boiler = Check({L"check-rules-copies\\Boiler.dll", {}});
    EXPECT_TRUE(boiler.findings.empty());
    EXPECT_TRUE(boiler.rules.has_value());
    for (const wchar_t* name : {L"PumpStation.dll", L"PumpStation.ini", L"Boiler.dll", L"Boiler.ini"})
        DeleteFileW((folder + L"\\" + name).c_str());
    RemoveDirectoryW(folder.c_str());
}

// Every character of GB2312's first level, alone and with every other,
// forms text that a GBK source writes: never taken for UTF-8.
TEST(ExtensionCheck, NeverTakesLevelOneCharactersForUtf8) {
    std::vector<std::string> characters;
    for (int lead = 0xB0; lead <= 0xD7; ++lead)
        for (int trail = 0xA1; trail <= (lead == 0xD7 ? 0xF9 : 0xFE); ++trail)
            characters.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    ASSERT_EQ(3755u, characters.size());
    long long raised = 0;
    std::string first;
    for (const std::string& a : characters) {
        if (Utf8Mistake(L"display out", a) && first.empty()) first = a;
        for (const std::string& b : characters)
            if (Utf8Mistake(L"display out", a + b)) {
                ++raised;
                if (first.empty()) first = a + b;
            }
    }
    EXPECT_EQ(0, raised) << "first: " << testing::PrintToString(first);
}

// A slow library under a long check: progress is told while it runs; under
// a budget too small for it, the check stops there and still reports it slow.
TEST(ExtensionCheck, KeepsToItsBudgetAndTellsItsProgress) {
    CheckOptions options;
    options.library = L"CheckSlow.dll";
    options.hostProgram = HostProgram();
    options.lateMs = LateMs;
    // A budget long enough for progress lines (every 5 s), shorter than
    // the whole check of a slow library (the default minute).
    options.budgetSeconds = 12;
    std::vector<std::wstring> progress;
    options.progress = [&](const std::wstring& line) { progress.push_back(line); };
    const CheckReport full = CheckExtension(options, nullptr);
    EXPECT_EQ(std::set<std::string>{"ExplainParam slow"}, Kinds(full));
    ASSERT_FALSE(progress.empty());
    EXPECT_NE(std::wstring::npos, progress.front().find(L" s of 12 s, ")) << testing::PrintToString(progress.front());

    options.budgetSeconds = 1;
    options.progress = nullptr;
    const CheckReport cut = CheckExtension(options, nullptr);
    // On a busy machine the budget may run out before the first call is
    // timed: the slow finding is then missing, never another one.
    EXPECT_TRUE(std::ranges::includes(std::set<std::string>{"ExplainParam slow"}, Kinds(cut)))
        << testing::PrintToString(Kinds(cut));
    EXPECT_TRUE(AnyFindingHolds(cut, L"used up its budget of 1 s"));
}

// Every byte value in a field, and the separators themselves, come through
// a record unchanged.
TEST(ExtensionCheck, RecordsCarryEveryByte) {
    std::string everyByte;
    for (int byte = 1; byte < 256; ++byte) everyByte += static_cast<char>(byte);
    const SubjectRecord sent{"observed", {everyByte, "", "\t\n\\", "end"}};
    std::string line = EncodeRecord(sent);
    ASSERT_EQ('\n', line.back());
    EXPECT_EQ(1, std::ranges::count(line, '\n'));
    line.pop_back();
    const SubjectRecord received = DecodeRecord(line);
    EXPECT_EQ(sent.kind, received.kind);
    EXPECT_EQ(sent.fields, received.fields);
    EXPECT_EQ(everyByte, BytesOfHexField(HexField(everyByte)));
}

// Every byte alone and every pair of bytes: GBK exactly when code page 936
// reads it without a replacement, and the host shows "?" for what is not.
TEST(ExtensionCheck, GbkTextIsWhatCodePage936Reads) {
    const auto readable = [](const std::string& bytes) {
        return MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                   0) > 0;
    };
    int disagreements = 0;
    for (int first = 0x01; first <= 0xFF; ++first) {
        for (int second = 0x01; second <= 0xFF; ++second) {
            const std::string bytes{static_cast<char>(first), static_cast<char>(second)};
            if (IsGbkText(bytes) == readable(bytes)) continue;
            if (++disagreements <= 5) ADD_FAILURE() << std::hex << first << " " << second;
        }
    }
    EXPECT_EQ(0, disagreements);
    EXPECT_EQ(L"display out holds the bytes 32 35 B0, which are not GBK text: the host shows \"25?\"",
              NotGbkMistake(L"display out", "25\xB0").value_or(L""));
    EXPECT_FALSE(NotGbkMistake(L"display out", "\xCE\xB4\xD6\xAA(7)").has_value());
}

TEST(ExtensionCheck, SpotsUtf8TextButNotTheGbkOfTheSample) {
    struct Text {
        const char* bytes;
        bool utf8;
    };
    const Text texts[] = {
        {"21.5 \xA1\xE3\x43", false},        // °C in GBK
        {"\xCD\xA3\xD6\xB9", false},         // 停止 in GBK: well-formed UTF-8, but of unlikely characters
        {"\xCE\xB4\xD6\xAA(7)", false},      // 未知(7)
        {"\xD4\xCB\xD0\xD0", false},         // 运行
        {"12.34 V", false},                  // no multi-byte sequence at all
        {"21.5 \xC2\xB0\x43", true},         // °C in UTF-8
        {"\xE2\x84\x83", true},              // ℃
        {"10 k\xCE\xA9", true},              // Ω
        {"\xE8\xBF\x90\xE8\xA1\x8C", true},  // 运行 in UTF-8
        {"\xCE\xB4", false},                  // 未, though UTF-8 for δ
        {"1\xC2\xB7", false},                 // 1路, though UTF-8 for 1·
        {"25\xC2\xB0", true},                 // 25° in UTF-8: 25掳 in GBK
        {"3 \xC2\xB5" "A", true},             // 3 µA in UTF-8: 3 碌A
        {"\xC2\xB0", false},                  // 掳 alone
        {"25\xB0", false},                     // not GBK at all: a finding of its own
    };
    for (const Text& text : texts) {
        SCOPED_TRACE(text.bytes);
        EXPECT_EQ(text.utf8, Utf8Mistake(L"display out", text.bytes).has_value());
    }
}

}  // namespace
