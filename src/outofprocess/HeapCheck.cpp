#include "HeapCheck.h"

#include "guard/FaultGuard.h"

#include <windows.h>

namespace {
// More heaps than a process that hosts one extension has; any beyond are not validated.
constexpr DWORD MostHeaps = 256;
}  // namespace

bool HeapsAreSound() noexcept {
    HANDLE heaps[MostHeaps];
    DWORD count = GetProcessHeaps(MostHeaps, heaps);
    if (count > MostHeaps) count = MostHeaps;
    auto validate = [&heaps, count]() noexcept -> int32_t {
        for (DWORD i = 0; i < count; ++i)
            if (!HeapValidate(heaps[i], 0, nullptr)) return 0;
        return 1;
    };
    const GuardedCallOutcome outcome = RunUnderFaultGuard(validate);
    return outcome.completed && outcome.result == 1;
}
