#pragma once
// A private copy of FieldRules.dll (from this program's folder) with a given
// rules file beside it as FieldRules.ini, for replaying against changed
// rules without copying files by hand: it stands in for FieldRules.dll and
// every renamed copy of it the capture names. Removed again when done.

#include <string>
#include <vector>

class RulesLibrary {
public:
    // Raises a HostFailure (bad input) when the rules file cannot be read as
    // rules (no section, only problems: binary, or no rules file at all), or
    // it or FieldRules.dll cannot be copied.
    explicit RulesLibrary(const std::wstring& rulesFile);
    RulesLibrary(const RulesLibrary&) = delete;
    RulesLibrary& operator=(const RulesLibrary&) = delete;
    ~RulesLibrary();

    // The copy of FieldRules.dll.
    const std::wstring& Path() const noexcept { return FLibrary; }
    // The rules file's problems, one line each (their sections decline).
    const std::vector<std::wstring>& Problems() const noexcept { return FProblems; }

private:
    std::wstring FFolder, FLibrary, FRules;
    std::vector<std::wstring> FProblems;
};
