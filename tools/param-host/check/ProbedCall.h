#pragma once
// One call of an extension entry point under the component's fault guard,
// measured: how many bytes of arguments the entry point removed from the
// stack, which callee-saved registers it left changed, whether it left the
// direction flag set, values on the x87 register stack, another x87
// control word or another MXCSR. The guard puts all
// of that right again afterwards, as it does for the component, so the
// measurement costs the caller nothing.

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

enum RegisterChange : unsigned {
    ChangedEbx = 1u << 0,
    ChangedEsi = 1u << 1,
    ChangedEdi = 1u << 2,
    ChangedEbp = 1u << 3,
    DirectionFlagSet = 1u << 4,
    X87StackChanged = 1u << 5,     // its depth or its tag word
    X87ControlChanged = 1u << 6,   // rounding, precision, exception masks
    MxcsrChanged = 1u << 7,        // the SSE unit's rounding, flush-to-zero, masks
};

struct ProbedCall {
    bool completed = false;         // false: a structured exception ended the call
    int32_t result = 0;             // the entry point's result when completed
    DWORD exceptionCode = 0;        // when not completed
    int32_t stackBytesRemoved = 0;  // when completed: 4 per argument for a stdcall entry point
    unsigned registerChanges = 0;   // when completed: RegisterChange bits
    uint16_t x87ControlBefore = 0, x87ControlAfter = 0;  // when completed
    uint32_t mxcsrBefore = 0, mxcsrAfter = 0;            // when completed
};

// Calls `entry` with the 32-bit `arguments`, pushed last to first. Not
// reentrant: one probed call at a time in the process.
ProbedCall CallProbed(FARPROC entry, std::span<const uint32_t> arguments) noexcept;

// "EBX, ESI changed, direction flag left set"; empty for no change.
std::wstring DescribeRegisterChanges(unsigned changes);

// "0xC0000005 (access violation)".
std::wstring DescribeException(DWORD code);
