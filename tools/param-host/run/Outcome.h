#pragma once
// What the host sees after one operation: the HRESULT with its error
// description, the out-arguments and what the component wrote into the
// parameter object. Fields an operation does not produce stay empty.

#include "common/HostRequest.h"
#include "run/ExplainRefusal.h"
#include "run/ExtensionCallTrace.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Outcome {
    Operation operation = Operation::Explain;
    HRESULT result = S_OK;
    std::wstring errorDescription;
    std::optional<LONG> status;  // empty when the component did not write it
    std::optional<ExplainRefusal> refusal;  // why an explanation was refused (status 1)

    // explain: the parameter object's texts and code afterwards
    std::wstring valueText;
    std::wstring bitText;
    std::optional<std::wstring> displayText;  // edit too; empty when never set
    std::optional<USHORT> explainCode;

    // obscure
    std::optional<LONG> count;
    std::optional<std::vector<uint8_t>> bytes;

    // edit
    std::optional<std::wstring> editValue;

    // The calls the component made on the parameter object, for --trace, and
    // its calls into extensions among them.
    std::vector<std::wstring> calls;
    std::vector<ExtensionCallTrace> extensionCalls;
};
