#pragma once
// `param_host check`: reports what an extension library will do wrong in the
// host: its exports, the calling convention, its behaviour under the inputs
// the host sends, the processor state it leaves, its use of the IParam it is
// lent, what every call and every unload leaves behind, and its speed. The
// library never runs in this process: every task runs in a child process
// (SubjectChild.h), so that whatever it does ends or stalls only the child;
// that is a finding, and the check goes on in a new child.

#include "check/CheckReport.h"

#include "contracts/Vantrel_TLB.h"

#include <functional>
#include <string>
#include <vector>

struct CheckOptions {
    std::wstring library;
    int cycles = 200;                  // load and free cycles
    std::vector<int32_t> paramIds;     // empty: 0 to 15
    bool edit = false;                 // call EditParam (it may open a window)
    int lateMs = 2000;                 // how long calls on kept IParam objects are watched for
    int budgetSeconds = 60;            // the whole check
    std::wstring hostProgram;          // the program that hosts the library; empty: this one
    std::function<void(const std::wstring&)> progress;  // what is under way, every 5 s at most
};

// The ids tried when none are given.
std::vector<int32_t> DefaultParamIds();

// Raises a HostFailure (bad input) when the library cannot be loaded. The
// component, when given, times its built-in path next to the extension's.
CheckReport CheckExtension(const CheckOptions& options, IParamTransactor* component);
