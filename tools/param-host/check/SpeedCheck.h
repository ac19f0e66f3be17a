#pragma once
// How long one call of an entry point takes on a typical field (measured in
// the child, SubjectChild.h), next to the component's own Explain or Obscure
// of the same field without an extension: medians of several rounds. More
// than a millisecond per call is a finding.

#include "check/CheckReport.h"

#include "contracts/Vantrel_TLB.h"

#include <windows.h>

#include <optional>

// A median above this is a finding: the host explains many parameters per frame.
inline constexpr double SlowCallMicroseconds = 1000;

// Adds the finding when the entry point's measured speed is too slow.
void JudgeSpeed(EntryPointReport& entry, std::vector<Finding>& findings);

// Microseconds per call of the component's built-in Explain or Obscure of the
// typical field; nothing for Edit, whose built-in path is a dialog.
std::optional<double> TimeBuiltInPath(IParamTransactor& component, EntryPoint entryPoint);
