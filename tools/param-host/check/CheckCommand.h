#pragma once
// The command line of `param_host check EXTENSION.dll [--json] [--param-ids
// LIST] [--cycles N] [--edit] [--late-ms N] [--budget SECONDS]`, and the run
// that prints the report. Exit status: 0 no problem found, 1 problems found,
// 2 bad input (a HostFailure).

#include "contracts/Vantrel_TLB.h"

#include <wrl/client.h>

#include <functional>
#include <string>
#include <vector>

struct CheckRun {
    std::string output;  // UTF-8, for standard output
    int exitCode;
};

bool IsCheckCommand(const std::vector<std::wstring>& arguments);

// `arguments` are the program's, "check" first. `component` creates the
// component for timing its built-in path (when it raises a HostFailure, the
// built-in path is not timed; it is only called when a check is about to
// run). `progress` tells what is under way, when standard error is a terminal.
CheckRun RunCheckCommand(const std::vector<std::wstring>& arguments,
                         const std::function<Microsoft::WRL::ComPtr<IParamTransactor>()>& component,
                         const std::function<void(const std::wstring&)>& progress);
