#pragma once
// What the command line asks for: one operation, the parameter object the
// host hands to the component, the frame, the extension libraries and the
// form of the output.

#include "common/ValueRule.h"

#include <windows.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A number out-argument holds this until the component writes it; a capture
// param_host made records it as the status after a call that wrote none.
constexpr LONG NotWritten = LONG_MIN;

enum class Operation { Explain, Obscure, Edit };

// What the host's parameter object answers, before the component writes into it.
struct ParamSettings {
    LONG paramId = 0;
    // explain
    LONG startByte = 1;
    LONG byteCount = 0;
    bool hexEncoded = false;
    LONG bitMode = 0;
    LONG bitIndex = 0;
    std::wstring displaySuffix;
    std::wstring bitText;
    // obscure (the value text is also what the host holds before an explanation)
    std::wstring valueText;
    std::wstring obscureText;
    LONG obscureIntA = 0, obscureIntB = 0;
    BYTE obscureByteA = 0, obscureByteB = 0;
    // edit
    std::wstring paramName;
    LONG inputKind = 0;
    std::wstring minValueText, maxValueText;
    std::vector<std::wstring> options;  // "display,value" each
    LONG dataType = 0;
    ValueRule acceptRule;
};

struct LibraryPaths {
    std::optional<std::wstring> explain, obscure, edit;
};

struct HostRequest {
    Operation operation = Operation::Explain;
    ParamSettings param;
    std::vector<uint8_t> frame;
    LONG dataLength = 0;
    LibraryPaths libraries;
    bool json = false;
    bool trace = false;
};

inline const wchar_t* OperationName(Operation operation) {
    switch (operation) {
        case Operation::Explain: return L"explain";
        case Operation::Obscure: return L"obscure";
        case Operation::Edit: return L"edit";
    }
    return L"?";
}
