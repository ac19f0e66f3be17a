#pragma once
// Why the rules extension declined an Explain that --trace shows: worked out
// here, by the rules code param_host links, from the library's rules file and
// the call's inputs, so that the library never spends time on reasons.

#include "common/HostRequest.h"
#include "run/ExtensionCallTrace.h"

#include <vector>

// Adds the reason to every declined Explain call of FieldRules.dll (or a
// copy of it) among `calls`.
void AddDeclineReasons(const HostRequest& request, std::vector<ExtensionCallTrace>& calls);
