#pragma once
// Checking the rules extension also checks the rules it reads: the file with
// the library's base name and the extension .ini in its folder, as
// check-rules does on its own. The rules extension is recognised by its
// version resource, whatever its file name: it is meant to be copied under
// the name of a station (PumpStation.dll reads PumpStation.ini).

#include "check/CheckReport.h"

#include <string>

// The rules file the library at `path` reads: its base name with .ini.
std::wstring RulesFileOf(const std::wstring& path);

// Whether the library at `path` is the rules extension.
bool IsRulesExtension(const std::wstring& path);

// Checks the rules file when the library at `path` is the rules extension;
// a missing or faulty file is a finding.
void CheckFieldRulesFile(const std::wstring& path, CheckReport& report);
