#include "check/FieldRulesFile.h"

#include "HostFailure.h"
#include "RulesReport.h"

#include <optional>

namespace {

constexpr wchar_t FieldRulesBaseName[] = L"fieldrules";

std::wstring ModulePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

// The rules file of FieldRules.dll; nothing for another library.
std::optional<std::wstring> RulesFileOf(HMODULE library) {
    std::wstring path = ModulePath(library);
    const size_t name = path.find_last_of(L"\\/") + 1;
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || dot < name) return std::nullopt;
    std::wstring baseName = path.substr(name, dot - name);
    CharLowerW(baseName.data());
    if (baseName != FieldRulesBaseName) return std::nullopt;
    return path.substr(0, dot) + L".ini";
}

}  // namespace

void CheckFieldRulesFile(HMODULE library, CheckReport& report) {
    const std::optional<std::wstring> path = RulesFileOf(library);
    if (!path) return;
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
