#pragma once
// The host-call guard: every call into the host's objects and every read of
// the host's memory during an operation (IParam methods, the host's error
// objects, the frame's elements and the objects inside them) runs through
// CallHostMethod or CallHost. A processor fault inside such a call (an
// access violation, a stack overflow, any structured exception) comes back
// into our own frame and is raised there as the language exception
// EProcessorFault, so that it unwinds through the operation's owners like any
// other exception: array locks, references, texts and error objects taken so
// far are all released. The method guard (errors/MethodGuard.h) then answers
// E_UNEXPECTED and leaves the thread's error information alone.
//
// It is the fault guard of guard/FaultGuard.h made cheap enough for every
// host call, and written inline at every call site: each site keeps its own
// indirect call, which the processor predicts by its address (a shared one
// would jump to another method each time and miss). An operation links one
// handler record, the method guard's (errors/MethodGuard.h), for all its
// host calls: a host call only marks in that record where to resume after a
// fault (its resume address, stack pointer and EBP), calls, and clears the
// mark; where there is no such record to mark, the host call links a record
// of its own. An operation that finds the record's slot free when it starts
// (FreeHostCallSlot) passes it to its host calls, which then mark it without
// looking for it on the chain each time. The other callee-saved registers
// are declared changed, so the compiler keeps nothing of its own in them
// across the call. The callee keeps to the stdcall convention, as COM
// methods do. After a fault the handler unwinds the records the callee
// linked above the guard's, clears the direction flag, resets the x87 unit
// to the control word and loads the MXCSR that the enclosing fault guard
// saved when our method was called, which our code keeps, and resumes behind
// the call with the stack pointer and EBP the call site had; the stack's
// guard page is put back after a stack overflow. C++ exceptions are DWARF-2
// unwound on this toolchain and never pass through the guard: the guarded
// code throws nothing, and EProcessorFault is raised after the guard is left.

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

// The host-call slot of a fault guard record (guard/FaultGuard.cpp), as
// GuardedCall marks it: the resume address (0 while no host call is under
// way), the call site's stack pointer and its EBP.
struct HostCallSlot {
    uint32_t resume;
    uint32_t stack;
    uint32_t frame;
};

namespace HostCallDetail {

// The text both ways of guarding share: pushes the arguments the callee
// takes, last first, calls it and notes in EDX that it completed.
#define OVIX_PUSH_ARGUMENTS_AND_CALL \
    ".if %c[taken] > 2\n\t"          \
    "pushl %[third]\n\t"             \
    ".endif\n\t"                     \
    ".if %c[taken] > 1\n\t"          \
    "pushl %[second]\n\t"            \
    ".endif\n\t"                     \
    "pushl %[first]\n\t"             \
    "call *%[function]\n\t"          \
    "movl $1, %%edx\n"

// Calls the stdcall function at `function`, which takes `Taken` of the three
// 32-bit arguments, under the guard; answers whether it completed, with its
// result or else the exception code in `outcome`; only the arguments it
// takes are pushed, so that the stack pointer is back where it was when it
// returns.
//
// Where the head of the thread's exception chain is the record of an
// enclosing fault guard (the method guard's, guard/FaultGuard.cpp) with no
// host call under way in it, the call is only marked in that record's
// host-call slot: the resume address, the stack pointer (at the saved record
// address) and EBP; the slot is emptied again after the call, on both ways
// out. Elsewhere (no such record, an empty chain, or a host call inside a
// host call) the call links a handler record of its own, from low to high
// addresses: next record, handler (the host-call handler), resume address,
// then the saved EBP. Either handler resumes with the exception code in EAX
// and 0 in EDX.
template <unsigned Taken>
[[gnu::always_inline]] inline bool GuardedCall(uint32_t function, uint32_t first, uint32_t second, uint32_t third,
                                               uint32_t& outcome) noexcept {
    static_assert(Taken >= 1 && Taken <= 3);
    uint32_t completed;
    // The inputs sit in EBX, ESI, EDI and ECX, declared as changed: after a
    // fault they hold whatever the callee left there, and the compiler keeps
    // nothing of its own in them across the call.
    asm volatile(
        "movl %%fs:0, %%eax\n\t"
        "cmpl $-1, %%eax\n\t"
        "je 3f\n\t"
        "cmpl $_OvixGuardHandler, 4(%%eax)\n\t"
        "jne 3f\n\t"
        "cmpl $0, 12(%%eax)\n\t"
        "jne 3f\n\t"
        "pushl %%eax\n\t"
        "movl $1f, 12(%%eax)\n\t"
        "movl %%esp, 16(%%eax)\n\t"
        "movl %%ebp, 20(%%eax)\n\t"
        OVIX_PUSH_ARGUMENTS_AND_CALL
        "1:\n\t"
        "popl %%ecx\n\t"
        "movl $0, 12(%%ecx)\n\t"
        "jmp 4f\n"
        // The call with a record of its own.
        "3:\n\t"
        "pushl %%ebp\n\t"
        "pushl $2f\n\t"
        "pushl $_OvixHostCallHandler\n\t"
        "pushl %%fs:0\n\t"
        "movl %%esp, %%fs:0\n\t"
        OVIX_PUSH_ARGUMENTS_AND_CALL
        "2:\n\t"
        "popl %%fs:0\n\t"
        "addl $8, %%esp\n\t"
        "popl %%ebp\n"
        "4:"
        : "=a"(outcome), "=d"(completed), [function] "+b"(function), [first] "+S"(first), [second] "+D"(second),
          [third] "+c"(third)
        : [taken] "i"(Taken)
        : "memory", "cc");
    return completed != 0;
}

// GuardedCall for a caller that already holds the free host-call slot of
// the record at the head of the chain (FreeHostCallSlot): the call is marked
// there without looking for it. The slot's address is read from memory
// before the call and again after it, at an address based on the stack
// pointer or EBP (the other registers hold the call's inputs, and EAX and
// EDX are early-clobbered outputs): both are as they were at the call site
// on either way out.
template <unsigned Taken>
[[gnu::always_inline]] inline bool MarkedCall(HostCallSlot* const& slot, uint32_t function, uint32_t first,
                                              uint32_t second, uint32_t third, uint32_t& outcome) noexcept {
    static_assert(Taken >= 1 && Taken <= 3);
    uint32_t completed;
    asm volatile(
        "movl %[slot], %%eax\n\t"
        "movl $1f, (%%eax)\n\t"
        "movl %%esp, 4(%%eax)\n\t"
        "movl %%ebp, 8(%%eax)\n\t"
        OVIX_PUSH_ARGUMENTS_AND_CALL
        "1:\n\t"
        "movl %[slot], %%ecx\n\t"
        "movl $0, (%%ecx)\n"
        : "=&a"(outcome), "=&d"(completed), [function] "+b"(function), [first] "+S"(first), [second] "+D"(second),
          [third] "+c"(third)
        : [taken] "i"(Taken), [slot] "m"(slot)
        : "memory", "cc");
    return completed != 0;
}

#undef OVIX_PUSH_ARGUMENTS_AND_CALL

// Copies `count` bytes from `from` to `to` (stdcall, for GuardedCall).
uint32_t STDMETHODCALLTYPE CopyBytes(const char* from, uint32_t count, char* to) noexcept;

template <typename T>
uint32_t Word(T value) noexcept {
    if constexpr (std::is_pointer_v<T>)
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(value));
    else
        return static_cast<uint32_t>(value);
}

template <typename Result>
Result Completed(bool completed, uint32_t outcome) {
    if (!completed) [[unlikely]]
        RaiseProcessorFault(outcome);
    if constexpr (std::is_pointer_v<Result>)
        return reinterpret_cast<Result>(static_cast<uintptr_t>(outcome));
    else
        return static_cast<Result>(outcome);
}

// The function that the method table of `object` holds for `method` (a GNU
// extension).
template <typename Object, typename Result, typename... Parameters>
[[gnu::always_inline]] inline uint32_t MethodFunction(Object& object,
                                                      Result (STDMETHODCALLTYPE Object::*method)(Parameters...)) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpmf-conversions"
    using Function = Result(STDMETHODCALLTYPE*)(Object*, Parameters...);
    return Word(reinterpret_cast<Function>(object.*method));
#pragma GCC diagnostic pop
}

}  // namespace HostCallDetail

extern "C" void OvixGuardHandler();

// The host-call slot of the record at the head of the thread's exception
// chain when that is a fault guard record with no host call under way in it
// (at the start of an operation, the method guard's); else null.
[[gnu::always_inline]] inline HostCallSlot* FreeHostCallSlot() noexcept {
    struct GuardRecord {
        uint32_t next, handler, resume;
        HostCallSlot hostCall;
    };
    uintptr_t head;
    asm volatile("movl %%fs:0, %0" : "=r"(head) : : "memory");
    if (head == UINTPTR_MAX) return nullptr;
    auto* record = reinterpret_cast<GuardRecord*>(head);
    const bool isGuard = record->handler == reinterpret_cast<uintptr_t>(&OvixGuardHandler);
    return isGuard && record->hostCall.resume == 0 ? &record->hostCall : nullptr;
}

// Calls the COM method `method` of the host's `object` with `arguments` (one
// or two) under the host-call guard and returns its result; a fault inside
// it raises EProcessorFault.
template <typename Object, typename Result, typename... Parameters, typename... Arguments>
[[gnu::always_inline]] inline Result CallHostMethod(Object& object,
                                                    Result (STDMETHODCALLTYPE Object::*method)(Parameters...),
                                                    Arguments... arguments) {
    static_assert(sizeof...(Parameters) == sizeof...(Arguments) && sizeof...(Arguments) <= 2);
    const uint32_t words[] = {HostCallDetail::Word(arguments)..., 0, 0};
    uint32_t outcome = 0;
    const bool completed = HostCallDetail::GuardedCall<1 + sizeof...(Arguments)>(
        HostCallDetail::MethodFunction(object, method), HostCallDetail::Word(&object), words[0], words[1], outcome);
    return HostCallDetail::Completed<Result>(completed, outcome);
}

namespace HostCallDetail {

// CallHostMethod where the caller found no free slot: out of line, as an
// operation under the method guard always finds one.
template <typename Object, typename Result, typename... Parameters, typename... Arguments>
[[gnu::noinline]] Result CallHostMethodLookingForSlot(Object& object,
                                                      Result (STDMETHODCALLTYPE Object::*method)(Parameters...),
                                                      Arguments... arguments) {
    return CallHostMethod(object, method, arguments...);
}

}  // namespace HostCallDetail

// CallHostMethod marked in `slot`, the free host-call slot the caller found
// with FreeHostCallSlot and that no other call has taken since; where it
// found none (null), as CallHostMethod.
template <typename Object, typename Result, typename... Parameters, typename... Arguments>
[[gnu::always_inline]] inline Result CallHostMethod(HostCallSlot* const& slot, Object& object,
                                                    Result (STDMETHODCALLTYPE Object::*method)(Parameters...),
                                                    Arguments... arguments) {
    static_assert(sizeof...(Parameters) == sizeof...(Arguments) && sizeof...(Arguments) <= 2);
    if (!slot) [[unlikely]]
        return HostCallDetail::CallHostMethodLookingForSlot(object, method, arguments...);
    const uint32_t words[] = {HostCallDetail::Word(arguments)..., 0, 0};
    uint32_t outcome = 0;
    const uint32_t function = HostCallDetail::MethodFunction(object, method);
    const bool completed = HostCallDetail::MarkedCall<1 + sizeof...(Arguments)>(
        slot, function, HostCallDetail::Word(&object), words[0], words[1], outcome);
    return HostCallDetail::Completed<Result>(completed, outcome);
}

// What a host call that raises nothing gives back.
struct HostCallOutcome {
    bool completed;    // false: it faulted
    uint32_t outcome;  // its result when completed, else the exception code
};

// Calls `call` (a callable returning an integer of up to 32 bits or a
// pointer, throwing nothing) under the host-call guard; a fault inside it is
// answered, not raised.
template <typename Call>
[[gnu::always_inline]] inline HostCallOutcome TryCallHost(Call&& call) noexcept {
    using Result = decltype(call());
    static_assert((std::is_integral_v<Result> || std::is_pointer_v<Result>) && sizeof(Result) <= sizeof(uint32_t));
    struct Trampoline {
        static uint32_t STDMETHODCALLTYPE Run(void* context) noexcept {
            return HostCallDetail::Word((*static_cast<std::remove_reference_t<Call>*>(context))());
        }
    };
    HostCallOutcome answered{false, 0};
    answered.completed = HostCallDetail::GuardedCall<1>(HostCallDetail::Word(&Trampoline::Run),
                                                        HostCallDetail::Word(&call), 0, 0, answered.outcome);
    return answered;
}

// Calls `call` as TryCallHost does and returns its result; a fault inside it
// raises EProcessorFault.
template <typename Call>
[[gnu::always_inline]] inline auto CallHost(Call&& call) {
    using Result = decltype(call());
    const HostCallOutcome answered = TryCallHost(call);
    return HostCallDetail::Completed<Result>(answered.completed, answered.outcome);
}

// Copies `count` bytes of the host's memory at `from` to `to` under the
// host-call guard; a fault inside raises EProcessorFault.
[[gnu::always_inline]] inline void CopyFromHost(const char* from, size_t count, char* to) {
    uint32_t outcome = 0;
    const bool completed =
        HostCallDetail::GuardedCall<3>(HostCallDetail::Word(&HostCallDetail::CopyBytes), HostCallDetail::Word(from),
                                       static_cast<uint32_t>(count), HostCallDetail::Word(to), outcome);
    HostCallDetail::Completed<uint32_t>(completed, outcome);
}

// After a fault that cannot be raised (in a destructor): puts the stack's
// guard page back when `code` is a stack overflow, so that the next one is
// caught too.
void ContainProcessorFault(DWORD code) noexcept;
