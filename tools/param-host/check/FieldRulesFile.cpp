#include "check/FieldRulesFile.h"

#include "HostFailure.h"
#include "RulesReport.h"
#include "VersionResource.h"

#include <windows.h>

#include <optional>

namespace {

// What the rules extension's version resource names it, whatever the file is called.
constexpr wchar_t RulesExtensionName[] = L"FieldRules.dll";

}  // namespace

std::wstring RulesFileOf(const std::wstring& path) {
    const size_t name = path.find_last_of(L"\\/") + 1;
    const size_t dot = path.rfind(L'.');
    return (dot == std::wstring::npos || dot < name ? path : path.substr(0, dot)) + L".ini";
}

bool IsRulesExtension(const std::wstring& path) {
    return CompareStringOrdinal(VersionResourceString(path, L"OriginalFilename").c_str(), -1, RulesExtensionName, -1, TRUE) ==
           CSTR_EQUAL;
}

void CheckFieldRulesFile(const std::wstring& library, CheckReport& report) {
    if (!IsRulesExtension(library)) return;
    const std::optional<std::wstring> path = RulesFileOf(library);
    const std::wstring fix = L"correct the rules file (param_host check-rules " + *path + L" lists each problem)";
    try {
        report.rules = ReportOnRulesFile(*path);
    } catch (const HostFailure& failure) {
        report.findings.push_back({FindingKind::RulesFile, "",
                                   failure.message + L": without its rules the library declines every parameter", fix});
        return;
    }
    const size_t problems = report.rules->problems.size();
    if (problems == 0) return;
    report.findings.push_back({FindingKind::RulesFile, "",
                               *path + L" has " + std::to_wstring(problems) +
                                   (problems == 1 ? L" problem" : L" problems") +
                                   L" (listed with the rules): the sections they are in decline",
                               fix});
}
