#pragma once
// One call of an entry point, measured (ProbedCall.h), with out-buffers of
// this program's own (LentBuffers.h) in place of the ones in its arguments,
// and what it left in them.

#include "check/EntryPoints.h"
#include "check/LentBuffers.h"
#include "check/ProbedCall.h"

#include <vector>

struct ObservedCall {
    ProbedCall probe;
    std::vector<LentOutput> lent;        // one per out-buffer of the entry point
    std::vector<OutputReading> outputs;  // what each held after the call
};

// `returned`, when given, is told as soon as the entry point has returned,
// before anything is allocated (a damaged heap shows there first).
ObservedCall CallObserved(FARPROC entry, const EntryPointShape& shape, std::vector<uint32_t> arguments,
                          void (*returned)() noexcept = nullptr);
