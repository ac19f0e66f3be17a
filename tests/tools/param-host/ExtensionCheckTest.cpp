// `param_host check` on real extension libraries: every test extension is
// reported with exactly the finding it was made with and nothing else, the
// good ones with none; each finding names the entry point, a reason and a fix.
#include "check/ExtensionCheck.h"
#include "check/TextEncoding.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>
#include <string>

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
    {L"ExtCdabUtf8.dll", {"ExplainParam utf8-output"}, L"the operator sees \"21.5 掳C\""},
    {L"ExtOverrun.dll", {"ExplainParam writes-past-buffer"}, L"display out"},
    {L"ExtNonDigits.dll", {"ObscureParam non-digit-output"}, L"'.' is not a decimal digit"},
    {L"ExtLeaky.dll", {" leaks-per-unload"}, L"thread-local storage slots run out"},
    {L"ExtKeepsParam.dll", {"ExplainParam param-kept"}, L"GetParamId after the call had returned, from another thread"},
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

TEST(ExtensionCheck, ReportsEachExtensionWithExactlyItsFindings) {
    for (const Subject& subject : Subjects) {
        SCOPED_TRACE(testing::Message() << subject.library);
        const CheckReport report = Check(subject);
        EXPECT_EQ(subject.findings, Kinds(report));
        EXPECT_TRUE(AnyFindingHolds(report, subject.named))
            << "no finding says: " << testing::PrintToString(subject.named);
        for (const Finding& finding : report.findings) EXPECT_FALSE(finding.reason.empty() || finding.fix.empty());
    }
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
    };
    for (const Text& text : texts) {
        SCOPED_TRACE(text.bytes);
        EXPECT_EQ(text.utf8, ReadsAsUtf8(text.bytes).has_value());
    }
}

}  // namespace
