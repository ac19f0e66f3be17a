#pragma once
// The one place through which the component calls into an extension library.

#include <windows.h>

#include <cstdint>
#include <initializer_list>

struct ExtensionCallOutcome {
    bool completed;  // false: the call faulted or raised inside the extension
    int32_t result;  // the entry point's result when completed
    bool Succeeded() const noexcept { return completed && result == 0; }
};

// Calls `entry` with 32-bit arguments pushed last to first (stdcall), under
// the fault guard (guard/FaultGuard.h): a processor fault or any other
// structured exception inside the extension (a C++ exception thrown by a
// library built with Microsoft's compiler included) makes the call not
// completed, and the stack pointer and callee-saved registers are restored
// afterwards whatever the entry point did to them. A C++ exception that a
// MinGW-built extension lets escape cannot be caught: its own runtime ends
// the process (a rule for extension authors, see ExtensionEntryPoints.h).
ExtensionCallOutcome CallExtension(FARPROC entry, std::initializer_list<uint32_t> arguments) noexcept;

// An argument slot for a pointer.
template <typename T>
uint32_t PointerArgument(T* pointer) noexcept {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}
