#pragma once
// The host-call guard: every call into the host's objects and every read of
// the host's memory during an operation (IParam methods, the host's error
// objects, the frame's elements and the objects inside them) runs through
// CallHost. A processor fault inside such a call (an access violation, a
// stack overflow, any structured exception) comes back into our own frame
// and is raised there as the language exception EProcessorFault, so that it
// unwinds through the operation's owners like any other exception: array
// locks, references, texts and error objects taken so far are all released.
// The method guard (server/MethodGuard.h) then answers E_UNEXPECTED and
// leaves the thread's error information alone.
//
// It is the fault guard of server/FaultGuard.h made cheap enough for every
// host call: the callee is a COM method or our own code, so its calling
// convention is trusted on the normal path. The normal path only links a
// handler record into the thread's exception chain and saves the callee-saved
// registers and the x87 control word (a few nanoseconds); a fault restores
// them, clears the direction flag, resets the x87 unit and, after a stack
// overflow, puts the stack's guard page back. C++ exceptions are DWARF-2
// unwound on this toolchain and never pass through the guard: the guarded
// function must throw nothing, and raising happens after the guard is left.

#include "util/Exception.h"

#include <windows.h>

#include <cstdint>
#include <type_traits>

// A processor fault or other structured exception, raised as an exception.
class EProcessorFault : public Exception {
public:
    explicit EProcessorFault(DWORD code);
    DWORD Code() const noexcept { return FCode; }

private:
    DWORD FCode;
};

// Puts the stack's guard page back when `code` is a stack overflow, then
// raises EProcessorFault for it.
[[noreturn]] void RaiseProcessorFault(DWORD code);

// Raises EProcessorFault for a stack overflow when less than `bytes` of the
// thread's stack are left: for recursion driven by the host's data, which is
// stopped while there is still room to unwind it.
void RequireStackRoom(size_t bytes);

extern "C" int32_t OvixHostCall(uint32_t (*body)(void*), void* context, uint32_t* outcome) noexcept;

// Calls `call` (a callable returning an integer of up to 32 bits or a
// pointer, throwing nothing) under the host-call guard and returns its
// result; a fault inside it raises EProcessorFault.
template <typename Call>
auto CallHost(Call&& call) {
    using Result = decltype(call());
    static_assert((std::is_integral_v<Result> || std::is_pointer_v<Result>) && sizeof(Result) <= sizeof(uint32_t));
    struct Trampoline {
        static uint32_t Run(void* context) noexcept {
            const Result result = (*static_cast<std::remove_reference_t<Call>*>(context))();
            if constexpr (std::is_pointer_v<Result>)
                return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(result));
            else
                return static_cast<uint32_t>(result);
        }
    };
    uint32_t outcome = 0;
    if (!OvixHostCall(&Trampoline::Run, &call, &outcome)) [[unlikely]]
        RaiseProcessorFault(outcome);
    if constexpr (std::is_pointer_v<Result>)
        return reinterpret_cast<Result>(static_cast<uintptr_t>(outcome));
    else
        return static_cast<Result>(outcome);
}
