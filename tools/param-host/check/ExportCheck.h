#pragma once
// Finds each entry point among a library's exports: under the exact name the
// component looks up, or under a decorated (ExplainParam@44,
// _ExplainParam@44) name or one that differs only in case (explainparam),
// which the component never finds; those are findings, with the .def line
// that fixes them. The checks that follow call an entry point under whatever
// name it was found. Any other export is listed as not used and never called:
// nothing is known about its arguments.

#include "check/CheckReport.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

// The names in the export table of a loaded library.
std::vector<std::string> ExportedNames(HMODULE module);

struct FoundEntryPoint {
    std::string exportName;  // empty: not found under any name
};

// Per entry point, in the order of EntryPointShapes(); the other names go to `unused`.
std::array<FoundEntryPoint, 3> FindEntryPoints(const std::vector<std::string>& exported, std::vector<Finding>& findings,
                                               std::vector<std::string>& unused);
