#include "transactor/ExtensionCall.h"

#include "guard/FaultGuard.h"

ExtensionCallOutcome CallExtension(FARPROC entry, std::initializer_list<uint32_t> arguments) noexcept {
    const GuardedCallOutcome outcome = CallUnderFaultGuard(entry, arguments);
    return {outcome.completed, outcome.result};
}
