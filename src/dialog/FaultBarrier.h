#pragma once
// The dialog owns a window, a font and a reference to the host's parameter
// object, and while it is shown it keeps the thread's other windows disabled.
// A processor fault passes by the destructors that release them, so the
// dialog runs the code that calls the host behind this barrier, which turns
// such a fault into a language exception.

#include "guard/FaultGuard.h"
#include "util/Exception.h"

#include <windows.h>

#include <cstdio>
#include <exception>

// A processor fault or other structured exception, raised as an exception.
class EProcessorFault : public Exception {
public:
    explicit EProcessorFault(DWORD code) : Exception(Describe(code)), FCode(code) {}
    DWORD Code() const noexcept { return FCode; }

private:
    static std::string Describe(DWORD code) {
        char text[40];
        std::snprintf(text, sizeof text, "Processor fault %08lX", static_cast<unsigned long>(code));
        return text;
    }

    DWORD FCode;
};

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
