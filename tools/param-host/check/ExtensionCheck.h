#pragma once
// `param_host check`: loads an extension library into this process and
// reports what will go wrong in the host: its exports, the calling
// convention, its behaviour under the inputs the host sends, its use of the
// IParam it is lent, what every unload leaves behind, and its speed.

#include "check/CheckReport.h"

#include "contracts/Vantrel_TLB.h"

#include <string>

struct CheckOptions {
    std::wstring library;
    int cycles = 200;         // load and free cycles
    int highestParamId = 15;  // parameter ids 0 to this are tried
};

// Raises a HostFailure (bad input) when the library cannot be loaded. The
// component, when given, times its built-in path next to the extension's.
CheckReport CheckExtension(const CheckOptions& options, IParamTransactor* component);
