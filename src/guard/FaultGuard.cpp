#include "guard/FaultGuard.h"

// GCC for 32-bit Windows has no __try, so the guard is written by hand in
// the way the system dispatches structured exceptions on x86: a handler
// record on the thread's exception chain (FS:[0]), on our own stack.
//
// int32_t OvixGuardedCall(FARPROC entry, const uint32_t* arguments,
//                         uint32_t count, int32_t* result, uint32_t restoreAlways)
// Returns 1 with the entry point's result in *result, or 0 with the
// exception code in *result when a structured exception ended the call.
//
// The frame, from high to low addresses: saved EBP, EBX, ESI, EDI; the
// restore mode; the caller's MXCSR; the x87 environment (28 bytes, the
// control word first); the host-call slot {resume address, stack pointer,
// EBP} (see HostCallGuard.h); the handler record {next, handler, resume
// address}. While the call runs, FS:[0] points at the record, so FS:[0] also
// tells where the frame is without trusting any general register: after a
// normal return the stack pointer is reloaded from it (a well-behaved callee
// leaves the chain as it found it); after an exception the handler unwinds
// the callee's own records (RtlUnwind, which lets a callee's destructors and
// finally blocks run) and jumps back into this frame instead of returning to
// the dispatcher.
//
// The x87 environment: with restoreAlways, it is saved whole (FNSTENV) and
// loaded back on every way out. Otherwise (code that keeps to the calling
// convention) only the caller's control word is kept, and after an
// exception the handler resets the unit to it (FNINIT, FLDCW: an empty
// register stack and clear exception flags, all that matters of the
// environment at a call, where no x87 register is live). Saving and loading
// it in full costs about ten times the rest of the guard, which the method
// guard runs on every call.
//
// The SSE control and status register (MXCSR: rounding, flush-to-zero,
// exception masks) is saved on entry in both modes, which costs little, and
// loaded back where the x87 environment is: on every way out with
// restoreAlways, otherwise only after an exception (loading it is the costly
// part).
asm(R"(
    .text
    .globl _OvixGuardedCall
    .def _OvixGuardedCall; .scl 2; .type 32; .endef
_OvixGuardedCall:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    pushl 24(%ebp)                  # the restore mode
    subl $4, %esp
    stmxcsr (%esp)                  # the caller's MXCSR
    subl $28, %esp
    testl $1, 24(%ebp)
    jz 3f
    fnstenv (%esp)                  # saves the x87 environment, and masks its exceptions:
    fldcw (%esp)                    # the callee gets the caller's control word back
    jmp 4f
3:  fnstcw (%esp)                   # the caller's control word
4:  subl $12, %esp                  # the host-call slot: EBP, stack pointer,
    movl $0, (%esp)                 # resume address (none: no host call under way)
    pushl $_OvixGuardedCallLeave    # the handler record: resume address,
    pushl $_OvixGuardHandler        # handler,
    pushl %fs:0
    movl %esp, %fs:0                # linked: the chain head now also marks our frame
    movl 12(%ebp), %esi             # arguments
    movl 16(%ebp), %ecx             # count
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)             # last argument first
    jmp 1b
2:  call *8(%ebp)
    movl %fs:0, %esp                # back at the record, whatever the callee left in ESP
    movl $1, %edx                   # completed; EAX holds the callee's result
_OvixGuardedCallLeave:
    popl %fs:0                      # unlinked
    addl $20, %esp
    cld
    testl $1, 32(%esp)              # in the restore-always mode (after an exception
    jz 6f                           # the handler has already reset the unit to
    fldenv (%esp)                   # the control word and MXCSR of this frame):
    ldmxcsr 28(%esp)                # control word, status and register stack as before, and MXCSR
6:  addl $36, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    movl 16(%esp), %ecx             # result
    movl %eax, (%ecx)
    movl %edx, %eax
    ret

# uint64_t OvixGuardedRun(FARPROC entry, uint32_t argument)
# The same guard for code of ours (the restore mode after an exception only)
# with one argument, as the method guard runs on every call: the entry's
# result or the exception code in EAX, 1 (completed) or 0 in EDX. Its frame
# is laid out as OvixGuardedCall's, which the handler relies on. The entry
# is ours and keeps to the stdcall convention: when it returns, the stack
# pointer is back at the record and the direction flag clear.
    .globl _OvixGuardedRun
    .def _OvixGuardedRun; .scl 2; .type 32; .endef
_OvixGuardedRun:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    subl $36, %esp                  # the restore mode (unused here), MXCSR, x87 environment
    stmxcsr 28(%esp)                # the caller's MXCSR
    fnstcw (%esp)                   # and x87 control word
    subl $12, %esp
    movl $0, (%esp)                 # the host-call slot: none under way
    pushl $_OvixGuardedRunLeave     # the handler record
    pushl $_OvixGuardHandler
    pushl %fs:0
    movl %esp, %fs:0
    pushl 12(%ebp)                  # the argument
    call *8(%ebp)
    movl $1, %edx                   # completed; EAX holds the callee's result
_OvixGuardedRunLeave:
    popl %fs:0                      # unlinked (after an exception the handler has
    addl $56, %esp                  # reset the x87 unit, MXCSR and the direction
    popl %edi                       # flag already, and EBP is the callee's: the
    popl %esi                       # frame is left by ESP)
    popl %ebx
    popl %ebp
    ret

# The handlers of this guard and of the host-call guard (HostCallGuard.h):
# EXCEPTION_DISPOSITION __cdecl OvixGuardHandler(EXCEPTION_RECORD* record,
#     void* establisherFrame, CONTEXT* context, void* dispatcherContext)
# Both resume with the exception code in EAX and 0 (not completed) in EDX,
# the direction flag clear and the x87 unit reset to the control word and
# MXCSR of the innermost record of this guard (the control word at 24,
# MXCSR at 52). A record of this guard resumes at the host call under way in
# its frame when there is one (its host-call slot: resume address at 12, the
# call site's stack pointer at 16 and EBP at 20), else at its own resume
# address with the stack pointer back at the record. A host-call record of
# its own (made where no record of this guard is at the head of the chain)
# resumes at its resume address with the stack pointer back at the record:
# it is made from our own code inside this guard (the method guard), which
# keeps the control word and MXCSR it was called with, so the innermost
# record of this guard on the chain holds the host call's too.
    .globl _OvixHostCallHandler
    .def _OvixHostCallHandler; .scl 2; .type 32; .endef
_OvixHostCallHandler:
    movl $1, %edx                   # the control word from the enclosing guard
    jmp 0f
    .globl _OvixGuardHandler
    .def _OvixGuardHandler; .scl 2; .type 32; .endef
_OvixGuardHandler:
    xorl %edx, %edx                 # the control word from this record
0:  movl 4(%esp), %eax              # the exception record
    testl $6, 4(%eax)               # EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND:
    jz 1f                           # an unwind passing through, nothing to do
    movl $1, %eax                   # ExceptionContinueSearch
    ret
1:  movl 8(%esp), %ecx              # the establisher frame: our handler record
    pushl %edx                      # the kind of record, the exception code and the
    pushl (%eax)                    # frame are kept on the stack: RtlUnwind
    pushl %ecx                      # preserves no register
    pushl $0                        # return value
    pushl %eax                      # exception record
    pushl $2f                       # target IP: straight back here
    pushl %ecx                      # target frame: unwind the records above ours
    call _RtlUnwind@16
2:  popl %ecx
    popl %eax                       # result: the exception code
    popl %edx
    movl %ecx, %esp                 # back at the record; the dispatcher's stack is abandoned
    cld
    fninit
    testl %edx, %edx
    jnz 3f
    cmpl $0, 12(%ecx)               # this guard's record: a host call under way in its frame?
    je 4f
    movl 16(%ecx), %esp             # back at the call site, with its EBP
    movl 20(%ecx), %ebp
    fldcw 24(%ecx)                  # the control word
    ldmxcsr 52(%ecx)                # and MXCSR
    jmp *12(%ecx)                   # the host call's resume address
3:  movl (%ecx), %ecx               # a host-call record: the next record outwards
    cmpl $-1, %ecx                  # (none of this guard's: the unit stays reset)
    je 5f
    cmpl $_OvixGuardHandler, 4(%ecx)
    jne 3b
4:  fldcw 24(%ecx)                  # the control word
    ldmxcsr 52(%ecx)                # and MXCSR
5:  xorl %edx, %edx                 # not completed
    jmp *8(%esp)                    # the record's resume address
)");

extern "C" int32_t OvixGuardedCall(FARPROC entry, const uint32_t* arguments, uint32_t count, int32_t* result,
                                   uint32_t restoreAlways);

void RestoreStackGuardPage() noexcept {
    MEMORY_BASIC_INFORMATION region{};
    if (!VirtualQuery(&region, &region, sizeof region)) return;
    const char* address = static_cast<const char*>(region.AllocationBase);
    do {
        if (!VirtualQuery(address, &region, sizeof region)) return;
        address = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    } while (region.State != MEM_COMMIT || region.Protect == PAGE_NOACCESS);
    if (region.Protect & PAGE_GUARD) return;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    DWORD previous;
    VirtualProtect(region.BaseAddress, system.dwPageSize, PAGE_READWRITE | PAGE_GUARD, &previous);
}

GuardedCallOutcome CallUnderFaultGuard(FARPROC entry, std::span<const uint32_t> arguments,
                                       X87Restore restore) noexcept {
    int32_t result = 0;
    const bool completed = OvixGuardedCall(entry, arguments.data(), static_cast<uint32_t>(arguments.size()),
                                           &result, restore == X87Restore::OnEveryWayOut) != 0;
    if (!completed && static_cast<DWORD>(result) == EXCEPTION_STACK_OVERFLOW) RestoreStackGuardPage();
    return {completed, result};
}
