#pragma once
// Finds each entry point among a library's exports: under the exact name the
// component looks up, or under a decorated (ExplainParam@44,
// _ExplainParam@44) or misspelt name, which the component never finds; those
// are findings, with the .def line that fixes them. The checks that follow
// call an entry point under whatever name it was found.

#include "check/CheckReport.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

// The names in the export table of a loaded library.
std::vector<std::string> ExportedNames(HMODULE module);

struct FoundEntryPoint {
    std::string exportName;  // empty: not found under any name
    FARPROC address = nullptr;
};

// Per entry point, in the order of EntryPointShapes().
std::array<FoundEntryPoint, 3> FindEntryPoints(HMODULE module, std::vector<Finding>& findings);
