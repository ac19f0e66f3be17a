#pragma once
// `check FieldRules.dll` also checks the rules that library reads: the file
// with its base name and the extension .ini in its folder, as check-rules
// does on its own.

#include "check/CheckReport.h"

#include <windows.h>

// Checks the rules file when `library` is FieldRules.dll; a missing or faulty
// file is a finding.
void CheckFieldRulesFile(HMODULE library, CheckReport& report);
