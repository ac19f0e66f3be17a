#include "check/ProbedCall.h"

#include "guard/FaultGuard.h"
#include "childprocess/EndingNames.h"

#include <cstddef>
#include <cstring>
#include <cwchar>

// The measurement is the function the fault guard calls in place of the
// entry point, with the entry point's arguments: it takes its own return
// address off the stack, so that the arguments lie exactly as the entry point
// expects them, notes the stack pointer, the callee-saved registers and the
// x87 status word, calls the entry point, notes them again with the flags,
// and jumps back into the guard, which restores the stack pointer, the
// registers and the x87 state from its own frame; MXCSR, which the guard
// leaves alone, is put back here. The notes go into one
// record of static storage, since no register can be trusted after the call.
extern "C" {
struct ProbeRecord {
    uint32_t target;                                      // 0: the entry point
    uint32_t guardReturn;                                 // 4: where the guard called the measurement from
    uint32_t stackBefore;                                 // 8: ESP at the first argument
    uint32_t ebxBefore, esiBefore, ediBefore, ebpBefore;  // 12..24
    uint32_t stackAfter;                                  // 28
    uint32_t ebxAfter, esiAfter, ediAfter, ebpAfter;      // 32..44
    uint32_t flagsAfter;                                  // 48
    uint16_t x87Before;  // 52: the status word (its TOP field counts the register stack)
    uint16_t x87After;   // 54
    uint32_t mxcsrBefore, mxcsrAfter;  // 56, 60
    uint16_t envBefore[14];            // 64: the x87 environment (control, status and tag words first)
    uint16_t envAfter[14];             // 92
};
ProbeRecord OvixProbeRecord;
void OvixProbedCall();
}

static_assert(offsetof(ProbeRecord, guardReturn) == 4 && offsetof(ProbeRecord, stackBefore) == 8 &&
              offsetof(ProbeRecord, ebxBefore) == 12 && offsetof(ProbeRecord, stackAfter) == 28 &&
              offsetof(ProbeRecord, ebxAfter) == 32 && offsetof(ProbeRecord, flagsAfter) == 48 &&
              offsetof(ProbeRecord, x87Before) == 52 && offsetof(ProbeRecord, x87After) == 54 &&
              offsetof(ProbeRecord, mxcsrBefore) == 56 && offsetof(ProbeRecord, envBefore) == 64 &&
              offsetof(ProbeRecord, envAfter) == 92);

asm(R"(
    .text
    .globl _OvixProbedCall
_OvixProbedCall:
    popl _OvixProbeRecord+4         # the guard's return address: ESP is at the first argument
    movl %esp, _OvixProbeRecord+8
    movl %ebx, _OvixProbeRecord+12
    movl %esi, _OvixProbeRecord+16
    movl %edi, _OvixProbeRecord+20
    movl %ebp, _OvixProbeRecord+24
    fnstsw _OvixProbeRecord+52
    stmxcsr _OvixProbeRecord+56
    fnstenv _OvixProbeRecord+64     # masks every x87 exception: the environment is loaded again at once
    fldenv _OvixProbeRecord+64
    call *_OvixProbeRecord
    movl %esp, _OvixProbeRecord+28
    movl %ebx, _OvixProbeRecord+32
    movl %esi, _OvixProbeRecord+36
    movl %edi, _OvixProbeRecord+40
    movl %ebp, _OvixProbeRecord+44
    fnstsw _OvixProbeRecord+54
    stmxcsr _OvixProbeRecord+60
    fnstenv _OvixProbeRecord+92     # the guard puts the caller's environment back
    ldmxcsr _OvixProbeRecord+56     # the guard leaves MXCSR alone: the caller's value back
    movl _OvixProbeRecord+8, %esp   # a stack pointer that is sure to be usable, for the flags
    pushfl
    popl _OvixProbeRecord+48
    jmp *_OvixProbeRecord+4
)");

namespace {

constexpr uint32_t DirectionFlag = 1u << 10;
constexpr uint16_t X87StackTop = 7u << 11;
constexpr size_t ControlWord = 0, TagWord = 4;  // in the environment's 16-bit halves

unsigned RegisterChanges(const ProbeRecord& record) {
    unsigned changes = 0;
    if (record.ebxAfter != record.ebxBefore) changes |= ChangedEbx;
    if (record.esiAfter != record.esiBefore) changes |= ChangedEsi;
    if (record.ediAfter != record.ediBefore) changes |= ChangedEdi;
    if (record.ebpAfter != record.ebpBefore) changes |= ChangedEbp;
    if (record.flagsAfter & DirectionFlag) changes |= DirectionFlagSet;
    if ((record.x87After & X87StackTop) != (record.x87Before & X87StackTop) ||
        record.envAfter[TagWord] != record.envBefore[TagWord])
        changes |= X87StackChanged;
    if (record.envAfter[ControlWord] != record.envBefore[ControlWord]) changes |= X87ControlChanged;
    if (record.mxcsrAfter != record.mxcsrBefore) changes |= MxcsrChanged;
    return changes;
}

}  // namespace

ProbedCall CallProbed(FARPROC entry, std::span<const uint32_t> arguments) noexcept {
    OvixProbeRecord = {};
    OvixProbeRecord.target = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(entry));
    const GuardedCallOutcome outcome = CallUnderFaultGuard(GuardedEntry(&OvixProbedCall), arguments);
    ProbedCall call;
    call.completed = outcome.completed;
    if (!outcome.completed) {
        call.exceptionCode = static_cast<DWORD>(outcome.result);
        return call;
    }
    call.result = outcome.result;
    call.stackBytesRemoved = static_cast<int32_t>(OvixProbeRecord.stackAfter - OvixProbeRecord.stackBefore);
    call.registerChanges = RegisterChanges(OvixProbeRecord);
    call.x87ControlBefore = OvixProbeRecord.envBefore[ControlWord];
    call.x87ControlAfter = OvixProbeRecord.envAfter[ControlWord];
    call.mxcsrBefore = OvixProbeRecord.mxcsrBefore;
    call.mxcsrAfter = OvixProbeRecord.mxcsrAfter;
    return call;
}

std::wstring DescribeRegisterChanges(unsigned changes) {
    std::wstring registers;
    for (const auto& [bit, name] : {std::pair{ChangedEbx, L"EBX"}, std::pair{ChangedEsi, L"ESI"},
                                    std::pair{ChangedEdi, L"EDI"}, std::pair{ChangedEbp, L"EBP"}})
        if (changes & bit) registers += (registers.empty() ? L"" : L", ") + std::wstring(name);
    std::wstring text = registers.empty() ? L"" : registers + L" changed";
    const auto add = [&](const wchar_t* what) { text += (text.empty() ? L"" : L", ") + std::wstring(what); };
    if (changes & DirectionFlagSet) add(L"direction flag left set");
    if (changes & X87StackChanged) add(L"the x87 register stack not left empty");
    if (changes & X87ControlChanged) add(L"the x87 control word changed");
    if (changes & MxcsrChanged) add(L"MXCSR changed");
    return text;
}

std::wstring DescribeException(DWORD code) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(code));
    const char* name = ExceptionName(code);
    const std::wstring what =
        name ? std::wstring(name, name + std::strlen(name)) : L"a structured exception the library raised";
    return std::wstring(text) + L" (" + what + L")";
}
