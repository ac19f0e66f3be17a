#pragma once
// A processor fault on command, as a host with a bug of its own would make one.

inline void WriteThroughNullPointer() {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 0;
}

// The same fault made with the processor state a callee must keep thrown
// about: another x87 control word and MXCSR (flush-to-zero, round toward
// zero, invalid operation unmasked), values left on the x87 register stack,
// the direction flag set and the callee-saved registers overwritten.
inline void FaultWithProcessorStateDisturbed() {
    static const unsigned short otherControlWord = 0x0C7F;
    static const unsigned otherMxcsr = 0xFF00;
    asm volatile(
        "fldcw %0\n\t"
        "ldmxcsr %1\n\t"
        "fld1\n\t"
        "fld1\n\t"
        "fld1\n\t"
        "std\n\t"
        "movl $0xDEAD0001, %%ebx\n\t"
        "movl $0xDEAD0002, %%esi\n\t"
        "movl $0xDEAD0003, %%edi\n\t"
        "movl $0xDEAD0004, %%ebp\n\t"
        "movl $0, (0)"
        :
        : "m"(otherControlWord), "m"(otherMxcsr)
        : "memory");
}
