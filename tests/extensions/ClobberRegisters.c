// Test extension that breaks the rules every caller relies on: its entry
// points overwrite the callee-saved registers EBX, ESI, EDI and EBP, leave the
// direction flag set and a value on the x87 register stack, then report
// success without writing anything.
__asm__(
    ".text\n"
    "OvixClobber:\n"
    "    movl $0xDEAD0001, %ebx\n"
    "    movl $0xDEAD0002, %esi\n"
    "    movl $0xDEAD0003, %edi\n"
    "    movl $0xDEAD0004, %ebp\n"
    "    fld1\n"
    "    std\n"
    "    xorl %eax, %eax\n"
    "    ret\n"
    "\n"
    "    .globl _ExplainParam@44\n"
    "_ExplainParam@44:\n"
    "    call OvixClobber\n"
    "    ret $44\n"
    "\n"
    "    .globl _ObscureParam@44\n"
    "_ObscureParam@44:\n"
    "    call OvixClobber\n"
    "    ret $44\n"
    "\n"
    "    .globl _EditParam@12\n"
    "_EditParam@12:\n"
    "    call OvixClobber\n"
    "    ret $12\n");
