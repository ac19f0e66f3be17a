#include "guard/HostCallGuard.h"

#include "guard/FaultGuard.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string DescribeFault(DWORD code) {
    char text[40];
    std::snprintf(text, sizeof text, "Processor fault %08lX", static_cast<unsigned long>(code));
    return text;
}

// Fields up to this many bytes are copied byte by byte: for a few bytes the
// runtime library's memmove costs several times the copy itself.
constexpr uint32_t ShortCopyBytes = 32;

}  // namespace

// The volatile reads keep the short copy a loop.
uint32_t STDMETHODCALLTYPE HostCallDetail::CopyBytes(const char* from, uint32_t count, char* to) noexcept {
    if (count > ShortCopyBytes) {
        std::copy_n(from, count, to);
        return 0;
    }
    const volatile char* source = from;
    for (uint32_t i = 0; i < count; ++i) to[i] = source[i];
    return 0;
}

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
