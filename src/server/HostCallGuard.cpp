#include "server/HostCallGuard.h"

#include "server/FaultGuard.h"

#include <cstdio>

// int32_t OvixHostCall(uint32_t (*body)(void*), void* context, uint32_t* outcome)
// Returns 1 with body(context) in *outcome, or 0 with the exception code in
// *outcome when a structured exception ended the call.
//
// The frame, from high to low addresses: saved EBP, EBX, ESI, EDI; the x87
// control word; the handler record {next, handler}, linked at FS:[0] while
// the body runs. After an exception the handler unwinds the records the body
// linked above ours (RtlUnwind), resets the stack pointer to our record and
// leaves through the same epilogue, which restores the saved registers. The
// x87 environment is not saved on the normal path (FNSTENV/FLDENV would cost
// more than the whole guard); after a fault the unit is reset and given the
// control word back, which leaves it as a call boundary does: registers
// empty, no exception pending.
asm(R"(
    .text
    .globl _OvixHostCall
    .def _OvixHostCall; .scl 2; .type 32; .endef
_OvixHostCall:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    subl $4, %esp
    fnstcw (%esp)
    pushl $_OvixHostCallHandler     # the handler record
    pushl %fs:0
    movl %esp, %fs:0
    pushl 12(%ebp)                  # context
    call *8(%ebp)
    addl $4, %esp
    movl $1, %edx                   # completed; EAX holds the body's result
_OvixHostCallLeave:
    popl %fs:0                      # unlinked
    addl $8, %esp                   # handler, control word
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    movl 12(%esp), %ecx             # outcome
    movl %eax, (%ecx)
    movl %edx, %eax
    ret

# EXCEPTION_DISPOSITION __cdecl OvixHostCallHandler(EXCEPTION_RECORD* record,
#     void* establisherFrame, CONTEXT* context, void* dispatcherContext)
    .def _OvixHostCallHandler; .scl 3; .type 32; .endef
_OvixHostCallHandler:
    movl 4(%esp), %eax              # the exception record
    testl $6, 4(%eax)               # EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND:
    jz 1f                           # an unwind passing through, nothing to do
    movl $1, %eax                   # ExceptionContinueSearch
    ret
1:  movl 8(%esp), %ecx              # the establisher frame: our handler record
    pushl (%eax)                    # the exception code and the frame are kept on
    pushl %ecx                      # the stack: RtlUnwind preserves no register
    pushl $0                        # return value
    pushl %eax                      # exception record
    pushl $2f                       # target IP: straight back here
    pushl %ecx                      # target frame: unwind the records above ours
    call _RtlUnwind@16
2:  popl %ecx
    popl %eax                       # outcome: the exception code
    movl %ecx, %esp                 # back at the record; the dispatcher's stack is abandoned
    cld
    fninit
    fldcw 8(%esp)                   # the saved control word
    xorl %edx, %edx                 # not completed
    jmp _OvixHostCallLeave
)");

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

void RequireStackRoom(size_t bytes) {
    MEMORY_BASIC_INFORMATION stack{};
    if (!VirtualQuery(&stack, &stack, sizeof stack)) return;
    const auto here = reinterpret_cast<uintptr_t>(&stack);
    const auto bottom = reinterpret_cast<uintptr_t>(stack.AllocationBase);
    if (here - bottom < bytes) throw EProcessorFault(EXCEPTION_STACK_OVERFLOW);
}
