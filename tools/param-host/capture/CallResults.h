#pragma once
// What the host holds after a call, as the calls on its parameter object
// and the call's out-arguments show it, and how two such results differ.

#include "util/CapturedCall.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

struct CallResults {
    std::optional<std::wstring> valueText, bitText, displayText;  // the last text written
    std::optional<int32_t> explainCode;
    std::optional<int32_t> status;
    int32_t hresult = 0;
    std::optional<std::string> digits;  // Obscure: the low byte of each element
};

// The results of the setter calls among `hostCalls` and of the out-arguments.
CallResults ResultsOf(const std::vector<CapturedHostCall>& hostCalls, std::optional<int32_t> status, int32_t hresult,
                      std::optional<std::string> digits);
inline CallResults ResultsOf(const CapturedCall& call) {
    return ResultsOf(call.hostCalls, call.status, call.result, call.digits);
}

// One result that differs: its name as param_host explain --json names it
// and both values (null for not written).
struct ResultChange {
    const char* name;
    nlohmann::ordered_json before, after;
};
std::vector<ResultChange> CompareResults(const CallResults& before, const CallResults& after);

// A text for JSON: UTF-16 made UTF-8.
std::string JsonText(const std::wstring& text);

// Bytes as hex pairs separated by blanks ("0B B8").
std::string HexBytes(std::string_view bytes);
