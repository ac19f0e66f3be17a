#include "transactor/ExtensionCall.h"

// int32_t OvixCallStdcall(FARPROC entry, const uint32_t* arguments, uint32_t count)
// Pushes the arguments last to first, calls the entry point and puts the stack
// pointer back from a callee-saved register, so that an entry point that
// removes too few or too many bytes (cdecl, another argument count) cannot
// unbalance the caller's stack.
asm(R"(
    .text
    .globl _OvixCallStdcall
    .def _OvixCallStdcall; .scl 2; .type 32; .endef
_OvixCallStdcall:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl %esp, %ebx
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  call *8(%ebp)
    movl %ebx, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

extern "C" int32_t OvixCallStdcall(FARPROC entry, const uint32_t* arguments, uint32_t count);

ExtensionCallOutcome CallExtension(FARPROC entry, std::initializer_list<uint32_t> arguments) noexcept {
    const int32_t result = OvixCallStdcall(entry, arguments.begin(), static_cast<uint32_t>(arguments.size()));
    return {true, result};
}
