#pragma once
// Calls an entry point with every input the host sends (CallInputs.h) and
// each parameter id 0..N, under the fault guard, and turns what it saw into
// findings: the calling convention and argument count from the stack bytes it
// removed, faults with their exception code and input, out-buffers without a
// terminating zero or written past their 4096 bytes, digit texts with other
// characters or empty on success, texts written in UTF-8, clobbered
// registers, and an entry point that declines everything.

#include "check/CheckReport.h"
#include "check/LentParams.h"

#include <windows.h>

// A call that stands for a typical field: the first input and parameter id
// the entry point accepted, else a typical input with id 0.
struct TypicalCall {
    size_t caseIndex = 0;
    int32_t paramId = 0;
};

TypicalCall CheckBehaviour(FARPROC entry, const EntryPointShape& shape, int highestParamId, LentParams& params,
                           EntryPointReport& report, std::vector<Finding>& findings);
