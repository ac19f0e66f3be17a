#pragma once
// The parts of the processor state that a host owns and a test reads or sets
// around a call: the SSE control register MXCSR, the x87 control word, and
// the head of the thread's exception chain.

#include <cstdint>

inline uint32_t Mxcsr() {
    uint32_t value;
    asm volatile("stmxcsr %0" : "=m"(value));
    return value;
}

inline void SetMxcsr(uint32_t value) { asm volatile("ldmxcsr %0" : : "m"(value)); }

inline uint16_t ControlWord() {
    uint16_t word;
    asm volatile("fnstcw %0" : "=m"(word));
    return word;
}

inline void SetControlWord(uint16_t word) { asm volatile("fldcw %0" : : "m"(word)); }

inline uintptr_t ExceptionChainHead() {
    uintptr_t head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}
