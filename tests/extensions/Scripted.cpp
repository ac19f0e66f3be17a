// Test extension that answers what the test scripted and records every
// argument it was given, reading each input over its full stated length.
#include "../support/ScriptedExtension.h"

namespace {

ScriptedState state;

void Record(ScriptedInput& into, const char* bytes, int32_t length) {
    into.length = length;
    std::memcpy(into.bytes, bytes, std::min<size_t>(static_cast<size_t>(length), sizeof into.bytes));
}

void Write(char* buffer, const ScriptedOutput& output) { std::memcpy(buffer, output.bytes, output.length); }

bool IsClear(const char* buffer) {
    return std::all_of(buffer, buffer + ExtensionBufferSize, [](char byte) { return byte == 0; });
}

// Leaves the floating-point state as the test scripted it.
int32_t Return(int32_t result) {
    if (state.mxcsrOnReturn) asm volatile("ldmxcsr %0" : : "m"(state.mxcsrOnReturn));
    if (state.x87ControlWordOnReturn) asm volatile("fldcw %0" : : "m"(state.x87ControlWordOnReturn));
    return result;
}

}  // namespace

extern "C" ScriptedState* __stdcall GetScriptedState() { return &state; }

extern "C" int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                                          int32_t reservedLength, const char* field, int32_t fieldLength,
                                          int32_t paramId, uint16_t* code, char* valueOut, char* displayOut,
                                          IParam* param) {
    ++state.calls;
    Record(state.valueText, valueText, valueLength);
    Record(state.reserved, reserved, reservedLength);
    Record(state.field, field, fieldLength);
    state.paramId = paramId;
    state.codeOnEntry = *code;
    state.param = param;
    *code = state.code;
    Write(valueOut, state.value);
    Write(displayOut, state.display);
    return Return(state.result);
}

extern "C" int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                                          int32_t reservedLength, int32_t paramId, char* digitsOut,
                                          int32_t obscureIntA, int32_t obscureIntB, uint8_t obscureByteA,
                                          uint8_t obscureByteB, IParam* param) {
    ++state.calls;
    Record(state.valueText, valueText, valueLength);
    Record(state.reserved, reserved, reservedLength);
    state.paramId = paramId;
    state.obscureIntA = obscureIntA;
    state.obscureIntB = obscureIntB;
    state.obscureByteA = obscureByteA;
    state.obscureByteB = obscureByteB;
    state.param = param;
    Write(digitsOut, state.value);
    return Return(state.result);
}

extern "C" int32_t __stdcall EditParam(IParam* param, char* valueOut, char* displayOut) {
    ++state.calls;
    state.param = param;
    state.valueOutClearOnEntry = IsClear(valueOut);
    state.displayOutClearOnEntry = IsClear(displayOut);
    Write(valueOut, state.value);
    Write(displayOut, state.display);
    return Return(state.result);
}
