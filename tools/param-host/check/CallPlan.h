#pragma once
// The calls the checker makes to see how each entry point behaves: for each
// entry point found, each parameter id and each input the host sends, in
// that order. The checker and the child that makes the calls build the same
// plan from the same arguments, so that a call is named by its index alone.

#include "check/EntryPoints.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct PlannedCall {
    EntryPoint entryPoint;
    int32_t paramId;
    size_t caseIndex;
};

// A call that stands for a typical field: an input and a parameter id.
struct TypicalCall {
    size_t caseIndex = 0;
    int32_t paramId = 0;
};

// The export name each entry point is called under; empty: not called.
using EntryExports = std::array<std::string, 3>;

// EditParam is called with the first `editCalls` ids only: it may open a window.
std::vector<PlannedCall> PlanCalls(const EntryExports& exports, const std::vector<int32_t>& paramIds, int editCalls);
