#pragma once
// Puts the extension library paths of the command line into the component.
// The component itself stays silent about a library it cannot load (it then
// uses its built-in behaviour); an extension author trying a DLL wants to
// know, so each path is checked here first.

#include "common/HostRequest.h"

#include "contracts/Vantrel_TLB.h"

#include <string>
#include <vector>

// Raises a HostFailure for a library that cannot be loaded; returns a warning
// for each library that loads but lacks its entry point.
std::vector<std::wstring> PutLibraries(IParamTransactor& transactor, const LibraryPaths& paths);
