#pragma once
// The fault guard: calls a function so that nothing it does to the processor
// state can reach the caller. A structured exception raised inside it (an
// access violation, a division by zero, an illegal or privileged instruction,
// RaiseException with any code, which includes a C++ exception thrown by a
// library built with Microsoft's compiler) ends the call and is reported as
// not completed. On every way out the stack pointer and the callee-saved
// registers (EBX, ESI, EDI, EBP) are restored from the guard's own frame,
// the direction flag is cleared and the x87 environment and the SSE control
// register MXCSR are put back (for code that keeps to the calling
// convention, only after an exception), so
// an entry point with the wrong calling convention or argument count, or
// one that clobbers registers, cannot unbalance the caller either. A stack
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
#include <span>

struct GuardedCallOutcome {
    bool completed;  // false: a structured exception ended the call
    int32_t result;  // the function's result when completed, else the exception code
};

// When the guard puts the x87 environment (control word, status, register
// stack) and MXCSR back as the caller had them.
enum class X87Restore {
    // Foreign code, which may return normally with the environment changed.
    OnEveryWayOut,
    // Code that keeps to the calling convention (ours, the host's methods):
    // only an exception can leave the environment changed.
    AfterException,
};

// Calls `entry` with 32-bit arguments pushed last to first (stdcall order)
// under the fault guard.
GuardedCallOutcome CallUnderFaultGuard(FARPROC entry, std::span<const uint32_t> arguments,
                                       X87Restore restore = X87Restore::OnEveryWayOut) noexcept;

inline GuardedCallOutcome CallUnderFaultGuard(FARPROC entry, std::initializer_list<uint32_t> arguments,
                                              X87Restore restore = X87Restore::OnEveryWayOut) noexcept {
    return CallUnderFaultGuard(entry, std::span<const uint32_t>(arguments.begin(), arguments.size()), restore);
}

// A stack overflow uses up the stack's guard page; without one the next
// overflow would end the process before any handler ran. Puts it back on the
// lowest accessible committed page of the thread's stack, far below the
// pages in use once the guarded call that overflowed is over.
void RestoreStackGuardPage() noexcept;

// Any function, taken as an entry point to call under the fault guard.
template <typename Function>
FARPROC GuardedEntry(Function* function) noexcept {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

// The guard's entry for code of ours with one argument (see FaultGuard.cpp):
// the result or exception code in the low half, 1 (completed) or 0 in the
// high half.
extern "C" uint64_t OvixGuardedRun(FARPROC entry, uint32_t argument) noexcept;

// Runs `body` (a callable of ours returning a 32-bit result that throws
// nothing) under the fault guard. It is the method guard's, on every call
// of every method: the guard is entered directly.
template <typename Body>
GuardedCallOutcome RunUnderFaultGuard(Body& body) noexcept {
    struct Trampoline {
        static int32_t __stdcall Run(Body* guarded) noexcept { return (*guarded)(); }
    };
    const uint64_t answered = OvixGuardedRun(GuardedEntry(&Trampoline::Run),
                                             static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&body)));
    const GuardedCallOutcome outcome{(answered >> 32) != 0, static_cast<int32_t>(answered)};
    if (!outcome.completed && static_cast<DWORD>(outcome.result) == EXCEPTION_STACK_OVERFLOW) [[unlikely]]
        RestoreStackGuardPage();
    return outcome;
}
