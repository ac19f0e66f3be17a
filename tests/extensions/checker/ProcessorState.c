// Subjects of `param_host check` that each leave one piece of the processor
// state changed when their entry points return, chosen by the macro the
// build defines: STATE_EBX, STATE_ESI, STATE_EDI, STATE_EBP, STATE_DF (the
// direction flag left set), STATE_X87_STACK (a value left on the x87
// register stack), STATE_X87_CONTROL (the x87 control word set to 24-bit
// precision, rounding down), STATE_MXCSR (MXCSR 0xFF00: flush-to-zero,
// rounding towards zero, invalid operations unmasked). Otherwise they
// succeed with the digit text "1".
#if defined(STATE_EBX)
#define CHANGE "movl $0xDEAD0001, %ebx\n"
#elif defined(STATE_ESI)
#define CHANGE "movl $0xDEAD0002, %esi\n"
#elif defined(STATE_EDI)
#define CHANGE "movl $0xDEAD0003, %edi\n"
#elif defined(STATE_EBP)
#define CHANGE "movl $0xDEAD0004, %ebp\n"
#elif defined(STATE_DF)
#define CHANGE "std\n"
#elif defined(STATE_X87_STACK)
#define CHANGE "fld1\n"
#elif defined(STATE_X87_CONTROL)
#define CHANGE "pushl $0x047F\n fldcw (%esp)\n addl $4, %esp\n"
#elif defined(STATE_MXCSR)
#define CHANGE "pushl $0xFF00\n ldmxcsr (%esp)\n addl $4, %esp\n"
#endif

// OvixChange(output): writes "1" and its terminating zero to the buffer, changes the state, returns 0.
__asm__(
    ".text\n"
    "OvixChange:\n"
    "    movl 4(%esp), %eax\n"
    "    movw $0x0031, (%eax)\n" CHANGE
    "    xorl %eax, %eax\n"
    "    ret\n"
    "\n"
    "    .globl _ExplainParam@44\n"
    "_ExplainParam@44:\n"
    "    pushl 36(%esp)\n"  // valueOut
    "    call OvixChange\n"
    "    addl $4, %esp\n"
    "    pushl 40(%esp)\n"  // displayOut
    "    call OvixChange\n"
    "    addl $4, %esp\n"
    "    ret $44\n"
    "\n"
    "    .globl _ObscureParam@44\n"
    "_ObscureParam@44:\n"
    "    pushl 24(%esp)\n"  // digitsOut
    "    call OvixChange\n"
    "    addl $4, %esp\n"
    "    ret $44\n");
