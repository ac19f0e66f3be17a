#include "capture/CallResults.h"

#include "common/HostRequest.h"
#include "common/OutputFormat.h"

#include <cstdio>

namespace {

using nlohmann::ordered_json;

ordered_json DigitsJson(const std::string& digits) {
    ordered_json json = ordered_json::array();
    for (const char digit : digits) json.push_back(static_cast<uint8_t>(digit));
    return json;
}

template <typename Value, typename Json>
void Compare(std::vector<ResultChange>& changes, const char* name, const std::optional<Value>& before,
             const std::optional<Value>& after, Json json) {
    if (before == after) return;
    changes.push_back({name, before ? json(*before) : ordered_json(), after ? json(*after) : ordered_json()});
}

}  // namespace

CallResults ResultsOf(const std::vector<CapturedHostCall>& hostCalls, std::optional<int32_t> status, int32_t hresult,
                      std::optional<std::string> digits) {
    CallResults results;
    for (const CapturedHostCall& call : hostCalls) {
        const std::string_view method = ParamMethodName(call.slot);
        if (method == "SetValueText") results.valueText = call.text;
        if (method == "SetBitText") results.bitText = call.text;
        if (method == "SetDisplayText") results.displayText = call.text;
        if (method == "SetExplainCode") results.explainCode = call.number;
    }
    // Shown as param_host explain shows a status the call did not write.
    results.status = status == NotWritten ? std::nullopt : status;
    results.hresult = hresult;
    results.digits = std::move(digits);
    return results;
}

std::vector<ResultChange> CompareResults(const CallResults& before, const CallResults& after) {
    std::vector<ResultChange> changes;
    const auto text = [](const std::wstring& value) { return ordered_json(JsonText(value)); };
    const auto number = [](int32_t value) { return ordered_json(value); };
    const auto hresult = [](int32_t value) { return ordered_json(HresultText(value)); };
    Compare(changes, "valueText", before.valueText, after.valueText, text);
    Compare(changes, "bitText", before.bitText, after.bitText, text);
    Compare(changes, "displayText", before.displayText, after.displayText, text);
    Compare(changes, "explainCode", before.explainCode, after.explainCode, number);
    Compare(changes, "digits", before.digits, after.digits, DigitsJson);
    Compare(changes, "status", before.status, after.status, number);
    Compare(changes, "hresult", std::optional(before.hresult), std::optional(after.hresult), hresult);
    return changes;
}

std::string JsonText(const std::wstring& text) { return Utf8FromWide(text); }

std::string HexBytes(std::string_view bytes) {
    std::string hex;
    for (const char byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(static_cast<uint8_t>(byte)));
        hex.append(hex.empty() ? "" : " ").append(pair);
    }
    return hex;
}
