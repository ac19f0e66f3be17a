#include "run/OutcomeFormat.h"

#include "common/JsonText.h"
#include "common/OutputFormat.h"
#include "run/TraceFormat.h"

#include <cstdio>

namespace {

std::string NumberText(long long value) { return std::to_string(value); }

// open + inner + close, built by appending (prepending a literal to a
// temporary string trips a false -Wrestrict in GCC 12).
std::string Enclosed(const char* open, const std::string& inner, const char* close) {
    return std::string(open).append(inner).append(close);
}

template <typename Item, typename Format>
std::string Join(const std::vector<Item>& items, const char* separator, Format format) {
    std::string joined;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) joined.append(separator);
        joined.append(format(items[i]));
    }
    return joined;
}

std::string BytesJson(const std::vector<uint8_t>& bytes) { return Enclosed("[", Join(bytes, ",", NumberText), "]"); }

std::string BytesText(const std::vector<uint8_t>& bytes) {
    return bytes.empty() ? "(none)" : Join(bytes, " ", NumberText);
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
    std::string json;
    std::string text;
};

// A value the component may not have written.
template <typename Value, typename JsonFormat, typename TextFormat>
Field Written(const char* jsonName, const char* label, const std::optional<Value>& value, JsonFormat json,
              TextFormat text) {
    if (!value) return {jsonName, label, "null", "(not written)"};
    return {jsonName, label, json(*value), text(*value)};
}

// A text the parameter object holds, quoted and escaped in both forms.
Field Text(const char* jsonName, const char* label, const std::wstring& value) {
    return {jsonName, label, JsonString(value), JsonString(value)};
}

std::string ResultText(const Outcome& outcome) {
    if (SUCCEEDED(outcome.result)) return HresultText(outcome.result) + " (succeeded)";
    return HresultText(outcome.result) + " (failed) " + JsonString(outcome.errorDescription);
}

std::vector<Field> Fields(const Outcome& outcome) {
    const bool succeeded = SUCCEEDED(outcome.result);
    const wchar_t* operation = OperationName(outcome.operation);
    std::vector<Field> fields{
        {"operation", "operation", JsonString(operation), Utf8FromWide(operation)},
        {"hresult", "HRESULT", Enclosed("\"", HresultText(outcome.result), "\""), ResultText(outcome)},
        {"succeeded", nullptr, succeeded ? "true" : "false", {}},
        {"error", nullptr, succeeded ? "null" : JsonString(outcome.errorDescription), {}},
        Written("status", "status", outcome.status, NumberText, NumberText),
    };
    if (const auto& refusal = outcome.refusal)
        fields.push_back({"refusal", "refused",
                          JsonObject()
                              .Add("reason", Enclosed("\"", refusal->reason, "\""))
                              .Add("explanation", JsonString(refusal->explanation))
                              .Close(),
                          Utf8FromWide(refusal->explanation)});
    switch (outcome.operation) {
        case Operation::Explain:
            fields.push_back(Text("valueText", "value text", outcome.valueText));
            fields.push_back(Text("bitText", "bit text", outcome.bitText));
            fields.push_back(Written("displayText", "display text", outcome.displayText, JsonString, JsonString));
            fields.push_back(Written("explainCode", "explain code", outcome.explainCode, NumberText, NumberText));
            break;
        case Operation::Obscure:
            fields.push_back(Written("count", "count", outcome.count, NumberText, NumberText));
            fields.push_back(Written("bytes", "bytes", outcome.bytes, BytesJson, BytesText));
            break;
        case Operation::Edit:
            fields.push_back(Written("value", "value", outcome.editValue, JsonString, JsonString));
            fields.push_back(Written("displayText", "display text", outcome.displayText, JsonString, JsonString));
            break;
    }
    return fields;
}

}  // namespace

std::string FormatJson(const Outcome& outcome, bool withCalls) {
    JsonObject json;
    for (const Field& field : Fields(outcome))
        if (field.jsonName) json.Add(field.jsonName, field.json);
    if (withCalls) {
        json.Add("extensionCalls", JsonArray(outcome.extensionCalls, ExtensionCallJson));
        json.Add("calls", Enclosed("[", Join(outcome.calls, ",", JsonString), "]"));
    }
    return json.Close() + "\n";
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
