#include "rules/RulesReport.h"

#include "common/HostFailure.h"
#include "common/ProgramFolder.h"
#include "rules/LoadedRuleBook.h"
#include "rules/RulesExample.h"
#include "rules/RulesFrame.h"

#include <windows.h>

namespace {

std::wstring EncodingName(RuleEncoding encoding) {
    const wchar_t* name = RuleEncodingName(encoding);
    if (!name) return {};
    if (encoding == EncodingAnsi) return name + (L" " + std::to_wstring(GetACP()));
    return name;
}

SectionReport ReportOnSection(const FieldRule& rule) {
    SectionReport section;
    section.paramId = rule.paramId;
    section.line = rule.line;
    section.declines = rule.broken;
    if (!rule.broken) section.example = ExampleOfRule(rule);
    return section;
}

bool IsRelative(const std::wstring& path) {
    return !path.empty() && path[0] != L'\\' && path[0] != L'/' && (path.size() < 2 || path[1] != L':');
}

// A relative path names a file in the current folder or, failing that, next
// to param_host.exe (where the build puts FieldRules.ini), as a relative
// library path does.
std::wstring LocateRulesFile(const std::wstring& path) {
    if (!IsRelative(path) || GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
    const std::wstring besideProgram = FileBesideProgram(path.c_str());
    return GetFileAttributesW(besideProgram.c_str()) != INVALID_FILE_ATTRIBUTES ? besideProgram : path;
}

}  // namespace

RulesReport ReportOnRulesFile(const std::wstring& givenPath, const std::optional<std::vector<uint8_t>>& frame) {
    const std::wstring path = LocateRulesFile(givenPath);
    LoadedRuleBook rules;
    switch (rules.Load(path)) {
        case RuleFileMissing:
            throw BadInput(L"check-rules: cannot open '" + path + L"' (missing or unreadable)");
        case RuleFileTooLarge:
            throw BadInput(L"check-rules: '" + path + L"' is larger than a rules file can be (16 MiB)");
        default:
            break;
    }
    const RuleBook& book = rules.Book();
    RulesReport report;
    report.path = path;
    report.encoding = EncodingName(book.encoding);
    for (size_t i = 0; i < book.problemCount; ++i)
        report.problems.push_back({book.problems[i].line, book.problems[i].reason});
    for (size_t i = 0; i < book.warningCount; ++i)
        report.warnings.push_back({book.warnings[i].line, book.warnings[i].reason});
    for (size_t i = 0; i < book.ruleCount; ++i) report.sections.push_back(ReportOnSection(book.rules[i]));
    if (frame) report.frameFields = DecodeFrameFields(book, *frame);
    return report;
}
