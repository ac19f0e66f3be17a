#include "capture/RulesLibrary.h"

#include "common/HostFailure.h"
#include "common/ProgramFolder.h"
#include "rules/RulesReport.h"

#include <windows.h>

namespace {

// The problems of a rules file as check-rules finds them; none readable as
// rules is bad input.
std::vector<std::wstring> RulesProblems(const std::wstring& rulesFile) {
    const RulesReport report = ReportOnRulesFile(rulesFile);
    std::vector<std::wstring> problems;
    for (const RuleProblemReport& problem : report.problems)
        problems.push_back(L"--rules " + rulesFile + L" line " + std::to_wstring(problem.line) + L": " + problem.reason);
    if (report.sections.empty() && !problems.empty())
        throw BadInput(problems.front() + L" (not a rules file: see param_host check-rules)");
    return problems;
}

}  // namespace

RulesLibrary::RulesLibrary(const std::wstring& rulesFile) {
    if (GetFileAttributesW(rulesFile.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw BadInput(L"--rules " + rulesFile + L": no such file");
    FProblems = RulesProblems(rulesFile);
    wchar_t temporary[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, temporary)) throw BadInput(L"--rules: no temporary folder");
    FFolder = std::wstring(temporary) + L"param_host-replay-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(FFolder.c_str(), nullptr);
    FLibrary = FFolder + L"\\FieldRules.dll";
    FRules = FFolder + L"\\FieldRules.ini";
    const std::wstring original = FileBesideProgram(L"FieldRules.dll");
    if (!CopyFileW(original.c_str(), FLibrary.c_str(), FALSE))
        throw BadInput(L"--rules: " + original + L" could not be copied");
    if (!CopyFileW(rulesFile.c_str(), FRules.c_str(), FALSE))
        throw BadInput(L"--rules " + rulesFile + L": could not be copied beside FieldRules.dll");
}

// The component still holds the library until it is released; what cannot
// be removed now stays in the temporary folder.
RulesLibrary::~RulesLibrary() {
    DeleteFileW(FRules.c_str());
    DeleteFileW(FLibrary.c_str());
    RemoveDirectoryW(FFolder.c_str());
}
