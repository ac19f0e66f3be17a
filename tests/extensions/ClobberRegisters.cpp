// Test extension that breaks the rules every caller relies on: its entry
// points overwrite the callee-saved registers EBX, ESI, EDI and EBP, leave the
// direction flag set and a value on the x87 register stack, then report
// success without writing anything.
asm(R"(
    .text
OvixClobber:
    movl $0xDEAD0001, %ebx
    movl $0xDEAD0002, %esi
    movl $0xDEAD0003, %edi
    movl $0xDEAD0004, %ebp
    fld1
    std
    xorl %eax, %eax
    ret

    .globl _ExplainParam@44
_ExplainParam@44:
    call OvixClobber
    ret $44

    .globl _ObscureParam@44
_ObscureParam@44:
    call OvixClobber
    ret $44

    .globl _EditParam@12
_EditParam@12:
    call OvixClobber
    ret $12
)");
