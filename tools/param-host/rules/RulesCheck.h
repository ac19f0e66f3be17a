#pragma once
// param_host check-rules FILE.ini [--json]: checks a field-rules file as
// FieldRules.dll reads it. Exit status 0 when it has no problem, 1 when it
// has one, 2 for bad input (HostFailure).

#include <string>
#include <vector>

// Whether the arguments (after the program name) ask for check-rules.
bool IsRulesCheck(const std::vector<std::wstring>& arguments);

struct RulesCheckOutcome {
    std::string output;  // UTF-8, for standard output
    int exitCode = 0;
};

RulesCheckOutcome RunRulesCheck(const std::vector<std::wstring>& arguments);
