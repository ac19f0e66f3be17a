#pragma once
// One call the component made into an extension, as --trace shows it: what
// it handed over, what the extension answered and wrote, and whether it left
// the stack and registers as it found them.

#include "check/EntryPoints.h"
#include "check/LentBuffers.h"
#include "check/ProbedCall.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct TracedInput {
    const wchar_t* name;
    std::string bytes;
};

struct TracedOutput {
    const wchar_t* name;
    OutputReading reading;
};

struct ExtensionCallTrace {
    EntryPoint entryPoint = EntryPoint::Explain;
    size_t position = 0;  // how many calls on the parameter object came before it
    std::vector<TracedInput> inputs;
    std::optional<int32_t> paramId;
    ProbedCall probe;
    std::vector<TracedOutput> outputs;    // when the call completed
    std::optional<uint16_t> explainCode;  // ExplainParam, when the call completed
    std::wstring isolatedLibrary;         // through a copy of IsolatedExtension.dll: the real library it runs
    std::optional<std::wstring> declineReason;  // a declined Explain of the rules extension: why
};
