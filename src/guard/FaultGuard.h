#pragma once
// The fault guard: calls a function so that nothing it does to the processor
// state can reach the caller. A structured exception raised inside it (an
// access violation, a division by zero, an illegal or privileged instruction,
// RaiseException with any code, which includes a C++ exception thrown by a
// library built with Microsoft's compiler) ends the call and is reported as
// not completed. On every way out the stack pointer and the callee-saved
// registers (EBX, ESI, EDI, EBP) are restored from the guard's own frame,
// the direction flag is cleared and the x87 environment is put back, so an
// entry point with the wrong calling convention or argument count, or one
// that clobbers registers, cannot unbalance the caller either. A stack
// overflow is caught too, and the stack's guard page is put back afterwards,
// so that the next one is caught as well.
//
// Limits: a C++ exception thrown by a MinGW-built library cannot be caught
// here: that library's own runtime finds no handler for it and terminates the
// process. And a C++ exception of ours must never leave the guarded function
// (it would unwind past the guard's frame and leave the thread's exception
// chain pointing at a dead stack): a guarded body of ours catches everything.

#include <windows.h>

#include <cstdint>
#include <initializer_list>

struct GuardedCallOutcome {
    bool completed;  // false: a structured exception ended the call
    int32_t result;  // the function's result when completed, else the exception code
};

// Calls `entry` with 32-bit arguments pushed last to first (stdcall order)
// under the fault guard.
GuardedCallOutcome CallUnderFaultGuard(FARPROC entry, std::initializer_list<uint32_t> arguments) noexcept;

// Any function, taken as an entry point to call under the fault guard.
template <typename Function>
FARPROC GuardedEntry(Function* function) noexcept {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

// Runs `body` (a callable returning a 32-bit result that throws nothing)
// under the fault guard.
template <typename Body>
GuardedCallOutcome RunUnderFaultGuard(Body& body) noexcept {
    struct Trampoline {
        static int32_t __stdcall Run(Body* guarded) noexcept { return (*guarded)(); }
    };
    return CallUnderFaultGuard(GuardedEntry(&Trampoline::Run),
                               {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&body))});
}
