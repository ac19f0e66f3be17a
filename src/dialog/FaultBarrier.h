#pragma once
// The dialog owns a window, a font and a reference to the host's parameter
// object, and while it is shown it keeps the thread's other windows disabled.
// A processor fault passes by the destructors that release them. The
// dialog's calls on the host raise EProcessorFault themselves
// (guard/HostCallGuard.h); the code that makes them runs behind this barrier
// as well, so that a fault anywhere else in it cannot leave the dialog's
// resources behind either.

#include "guard/FaultGuard.h"
#include "guard/HostCallGuard.h"

#include <windows.h>

#include <exception>

// Runs `body` under the fault guard. Its exceptions pass on unchanged; a
// fault inside it raises EProcessorFault (the body's own locals are lost,
// the caller's are destroyed as usual).
template <typename Body>
void RunRaisingFaults(Body&& body) {
    std::exception_ptr raised;
    auto guarded = [&]() noexcept -> int32_t {
        try {
            body();
        } catch (...) {
            raised = std::current_exception();
        }
        return 0;
    };
    const GuardedCallOutcome outcome = RunUnderFaultGuard(guarded);
    if (!outcome.completed) throw EProcessorFault(static_cast<DWORD>(outcome.result));
    if (raised) std::rethrow_exception(raised);
}
