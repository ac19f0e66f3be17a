#include "guard/HostCallGuard.h"

#include "guard/FaultGuard.h"

#include <cstdio>

namespace {

std::string DescribeFault(DWORD code) {
    char text[40];
    std::snprintf(text, sizeof text, "Processor fault %08lX", static_cast<unsigned long>(code));
    return text;
}

}  // namespace

EProcessorFault::EProcessorFault(DWORD code) : Exception(DescribeFault(code)), FCode(code) {}

void RaiseProcessorFault(DWORD code) {
    if (code == EXCEPTION_STACK_OVERFLOW) RestoreStackGuardPage();
    throw EProcessorFault(code);
}

void ContainProcessorFault(DWORD code) noexcept {
    if (code == EXCEPTION_STACK_OVERFLOW) RestoreStackGuardPage();
}

void RequireStackRoom(size_t bytes) {
    MEMORY_BASIC_INFORMATION stack{};
    if (!VirtualQuery(&stack, &stack, sizeof stack)) return;
    const auto here = reinterpret_cast<uintptr_t>(&stack);
    const auto bottom = reinterpret_cast<uintptr_t>(stack.AllocationBase);
    if (here - bottom < bytes) throw EProcessorFault(EXCEPTION_STACK_OVERFLOW);
}
