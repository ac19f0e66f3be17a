#pragma once
// The three requests a host makes: each hands the component a fresh parameter
// object filled from the command line, makes one call and gathers what the
// host sees afterwards.

#include "common/HostRequest.h"
#include "run/ExtensionTrace.h"
#include "run/Outcome.h"

#include "contracts/Vantrel_TLB.h"

// Raises a HostFailure for edit through the dialog when no display is usable.
// With a tracer, the outcome also holds the extension calls it saw.
Outcome RunOperation(IParamTransactor& transactor, const HostRequest& request, ExtensionTracer* tracer = nullptr);
