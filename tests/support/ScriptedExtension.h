#pragma once
// The state of the scripted test extension ExtScripted.dll: what its next
// ExplainParam, ObscureParam or EditParam call answers (result, code, and the exact
// bytes written into its out-buffers, with no terminator added) and what the
// last call received. Tests reach it through the DLL's export
// GetScriptedState once a transactor has loaded the library.

#include "contracts/ExtensionEntryPoints.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

inline constexpr size_t ScriptedInputCapacity = 16384;

struct ScriptedOutput {
    size_t length;
    char bytes[ExtensionBufferSize];
};

struct ScriptedInput {
    int32_t length;
    char bytes[ScriptedInputCapacity];
};

struct ScriptedState {
    // The next call's answer; `value` is ObscureParam's digit text.
    int32_t result;
    uint16_t code;
    ScriptedOutput value;
    ScriptedOutput display;

    // The calls so far and the arguments of the last one.
    int32_t calls;
    ScriptedInput valueText;
    ScriptedInput reserved;
    ScriptedInput field;
    int32_t paramId;
    uint16_t codeOnEntry;
    int32_t obscureIntA, obscureIntB;
    uint8_t obscureByteA, obscureByteB;
    IParam* param;
    // EditParam: whether its out-buffers held nothing but zero bytes on entry.
    bool valueOutClearOnEntry, displayOutClearOnEntry;

    // When nonzero, every entry point returns with the SSE control register
    // MXCSR and the x87 control word set to these, as a careless extension
    // (or a library it uses) leaves them.
    uint32_t mxcsrOnReturn;
    uint16_t x87ControlWordOnReturn;
};

using GetScriptedStateProc = ScriptedState*(__stdcall*)();

inline void SetScriptedOutput(ScriptedOutput& output, std::string_view bytes) {
    output.length = std::min(bytes.size(), sizeof output.bytes);
    std::memcpy(output.bytes, bytes.data(), output.length);
}

inline std::string RecordedBytes(const ScriptedInput& input) {
    return std::string(input.bytes, std::min<size_t>(static_cast<size_t>(input.length), sizeof input.bytes));
}

// The state of the loaded ExtScripted.dll, or null when it is not loaded.
inline ScriptedState* LoadedScriptedState() {
    const HMODULE module = GetModuleHandleA("ExtScripted.dll");
    if (!module) return nullptr;
    const auto get = reinterpret_cast<GetScriptedStateProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "GetScriptedState")));
    return get ? get() : nullptr;
}

// The state of the loaded ExtScripted.dll, cleared: the next call answers
// result 0, code 0 and empty texts.
inline ScriptedState* ClearedScriptedState() {
    ScriptedState* state = LoadedScriptedState();
    if (state) std::memset(static_cast<void*>(state), 0, sizeof *state);
    return state;
}
