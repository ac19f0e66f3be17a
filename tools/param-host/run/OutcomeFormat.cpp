#include "run/OutcomeFormat.h"

#include "common/JsonOutput.h"
#include "common/OutputFormat.h"
#include "run/TraceFormat.h"

#include <cstdio>

namespace {

std::string NumberText(long long value) { return std::to_string(value); }

std::string BytesText(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (uint8_t byte : bytes) text.append(text.empty() ? "" : " ").append(NumberText(byte));
    return bytes.empty() ? "(none)" : text;
}

// One "name   value" line per call of Add, names aligned.
class TextLines {
public:
    void Add(const char* name, const std::string& value) {
        char label[32];
        std::snprintf(label, sizeof label, "%-14s", name);
        FText += label + value + "\n";
    }
    const std::string& Text() const { return FText; }

private:
    std::string FText;
};

// One item of an outcome in both forms; a form without a name leaves it out.
struct Field {
    const char* jsonName;
    const char* label;
    ordered_json json;
    std::string text;
};

// A value the component may not have written.
template <typename Value, typename TextFormat>
Field Written(const char* jsonName, const char* label, const std::optional<Value>& value, TextFormat text) {
    if (!value) return {jsonName, label, nullptr, "(not written)"};
    return {jsonName, label, JsonValue(*value), text(*value)};
}

// A text the parameter object holds, quoted and escaped in both forms.
Field Text(const char* jsonName, const char* label, const std::wstring& value) {
    return {jsonName, label, JsonValue(value), JsonString(value)};
}

std::string ResultText(const Outcome& outcome) {
    if (SUCCEEDED(outcome.result)) return HresultText(outcome.result) + " (succeeded)";
    return HresultText(outcome.result) + " (failed) " + JsonString(outcome.errorDescription);
}

std::vector<Field> Fields(const Outcome& outcome) {
    const bool succeeded = SUCCEEDED(outcome.result);
    const wchar_t* operation = OperationName(outcome.operation);
    std::vector<Field> fields{
        {"operation", "operation", JsonValue(operation), Utf8FromWide(operation)},
        {"hresult", "HRESULT", HresultText(outcome.result), ResultText(outcome)},
        {"succeeded", nullptr, succeeded, {}},
        {"error", nullptr, succeeded ? ordered_json() : JsonValue(outcome.errorDescription), {}},
        Written("status", "status", outcome.status, NumberText),
    };
    if (const auto& refusal = outcome.refusal)
        fields.push_back({"refusal", "refused",
                          {{"reason", refusal->reason}, {"explanation", JsonValue(refusal->explanation)}},
                          Utf8FromWide(refusal->explanation)});
    switch (outcome.operation) {
        case Operation::Explain:
            fields.push_back(Text("valueText", "value text", outcome.valueText));
            fields.push_back(Text("bitText", "bit text", outcome.bitText));
            fields.push_back(Written("displayText", "display text", outcome.displayText, JsonString));
            fields.push_back(Written("explainCode", "explain code", outcome.explainCode, NumberText));
            break;
        case Operation::Obscure:
            fields.push_back(Written("count", "count", outcome.count, NumberText));
            fields.push_back(Written("bytes", "bytes", outcome.bytes, BytesText));
            break;
        case Operation::Edit:
            fields.push_back(Written("value", "value", outcome.editValue, JsonString));
            fields.push_back(Written("displayText", "display text", outcome.displayText, JsonString));
            break;
    }
    return fields;
}

}  // namespace

std::string FormatJson(const Outcome& outcome, bool withCalls) {
    ordered_json json;
    for (const Field& field : Fields(outcome))
        if (field.jsonName) json[field.jsonName] = field.json;
    if (withCalls) {
        json["extensionCalls"] = JsonItems(outcome.extensionCalls, ExtensionCallJson);
        json["calls"] = JsonItems(outcome.calls, Utf8FromWide);
    }
    return JsonOutput(json) + "\n";
}

std::string FormatText(const Outcome& outcome, bool withCalls) {
    TextLines text;
    for (const Field& field : Fields(outcome))
        if (field.label) text.Add(field.label, field.text);
    std::string result = text.Text();
    if (withCalls) {
        result += "calls on the parameter object:\n";
        size_t extensionCall = 0;
        for (size_t i = 0; i <= outcome.calls.size(); ++i) {
            for (; extensionCall < outcome.extensionCalls.size() && outcome.extensionCalls[extensionCall].position == i;
                 ++extensionCall)
                result += ExtensionCallText(outcome.extensionCalls[extensionCall]);
            if (i < outcome.calls.size()) result += "  " + Utf8FromWide(outcome.calls[i]) + "\n";
        }
    }
    return result;
}
