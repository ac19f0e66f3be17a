#include "guard/HostCallGuard.h"

#include "guard/FaultGuard.h"

#include <cstdio>

// The handler of the host-call guard (HostCallGuard.h), whose frame the
// guarded call site builds on its own stack:
//
// EXCEPTION_DISPOSITION __cdecl OvixHostCallHandler(EXCEPTION_RECORD* record,
//     void* establisherFrame, CONTEXT* context, void* dispatcherContext)
//
// It unwinds the records the callee linked above ours (RtlUnwind, which lets
// their own cleanup run), puts the stack pointer back at our record, resets
// the x87 unit to the control word saved there, clears the direction flag
// and resumes at the record's resume address with the exception code in EAX
// and 0 (not completed) in EDX.
asm(R"(
    .text
    .globl _OvixHostCallHandler
    .def _OvixHostCallHandler; .scl 2; .type 32; .endef
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
    fldcw 12(%esp)                  # the saved control word
    xorl %edx, %edx                 # not completed
    jmp *8(%esp)                    # the resume address
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
