#pragma once
// How long one call of an entry point takes on a typical field, next to the
// component's own Explain or Obscure of the same field without an extension:
// medians of several rounds, printed for information (no limit applies).

#include "check/BehaviourCheck.h"
#include "check/LentParams.h"

#include "contracts/Vantrel_TLB.h"

#include <windows.h>

#include <optional>

// Microseconds per call of the entry point, called as the component calls it.
double TimeEntryPoint(FARPROC entry, const EntryPointShape& shape, TypicalCall typical, LentParams& params);

// Microseconds per call of the component's built-in Explain or Obscure of the
// typical field; nothing for Edit, whose built-in path is a dialog.
std::optional<double> TimeBuiltInPath(IParamTransactor& component, EntryPoint entryPoint);
