#include "OutputFormat.h"

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

template <typename Value, typename Format>
std::string OptionalJson(const std::optional<Value>& value, Format format) {
    return value ? format(*value) : "null";
}

// One JSON member per call of Add, in order.
class JsonObject {
public:
    void Add(const char* name, const std::string& json) {
        FText.append(FText.empty() ? "{\"" : ",\"").append(name).append("\":").append(json);
    }
    std::string Close() const { return FText + "}\n"; }

private:
    std::string FText;
};

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

template <typename Value, typename Format>
std::string OptionalText(const std::optional<Value>& value, Format format) {
    return value ? format(*value) : "(not written)";
}

std::string ResultText(const Outcome& outcome) {
    if (SUCCEEDED(outcome.result)) return HresultText(outcome.result) + " (succeeded)";
    return HresultText(outcome.result) + " (failed) " + JsonString(outcome.errorDescription);
}

}  // namespace

std::string Utf8FromWide(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(), needed, nullptr, nullptr);
    return result;
}

std::string JsonString(std::wstring_view text) {
    std::wstring escaped = L"\"";
    for (wchar_t c : text) {
        switch (c) {
            case L'"': escaped += L"\\\""; break;
            case L'\\': escaped += L"\\\\"; break;
            case L'\n': escaped += L"\\n"; break;
            case L'\r': escaped += L"\\r"; break;
            case L'\t': escaped += L"\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    wchar_t code[8];
                    std::swprintf(code, 8, L"\\u%04X", static_cast<unsigned>(c));
                    escaped += code;
                } else {
                    escaped += c;
                }
        }
    }
    return Utf8FromWide(escaped + L"\"");
}

std::string HresultText(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

std::string FormatJson(const Outcome& outcome, bool withCalls) {
    JsonObject json;
    json.Add("operation", JsonString(OperationName(outcome.operation)));
    json.Add("hresult", Enclosed("\"", HresultText(outcome.result), "\""));
    json.Add("succeeded", SUCCEEDED(outcome.result) ? "true" : "false");
    json.Add("error", SUCCEEDED(outcome.result) ? "null" : JsonString(outcome.errorDescription));
    json.Add("status", OptionalJson(outcome.status, NumberText));
    switch (outcome.operation) {
        case Operation::Explain:
            json.Add("valueText", JsonString(outcome.valueText));
            json.Add("bitText", JsonString(outcome.bitText));
            json.Add("displayText", OptionalJson(outcome.displayText, JsonString));
            json.Add("explainCode", OptionalJson(outcome.explainCode, NumberText));
            break;
        case Operation::Obscure:
            json.Add("count", OptionalJson(outcome.count, NumberText));
            json.Add("bytes", OptionalJson(outcome.bytes, BytesJson));
            break;
        case Operation::Edit:
            json.Add("value", OptionalJson(outcome.editValue, JsonString));
            json.Add("displayText", OptionalJson(outcome.displayText, JsonString));
            break;
    }
    if (withCalls) {
        json.Add("calls", Enclosed("[", Join(outcome.calls, ",", JsonString), "]"));
    }
    return json.Close();
}

std::string FormatText(const Outcome& outcome, bool withCalls) {
    TextLines text;
    text.Add("operation", Utf8FromWide(OperationName(outcome.operation)));
    text.Add("HRESULT", ResultText(outcome));
    text.Add("status", OptionalText(outcome.status, NumberText));
    switch (outcome.operation) {
        case Operation::Explain:
            text.Add("value text", JsonString(outcome.valueText));
            text.Add("bit text", JsonString(outcome.bitText));
            text.Add("display text", OptionalText(outcome.displayText, JsonString));
            text.Add("explain code", OptionalText(outcome.explainCode, NumberText));
            break;
        case Operation::Obscure:
            text.Add("count", OptionalText(outcome.count, NumberText));
            text.Add("bytes", OptionalText(outcome.bytes, BytesText));
            break;
        case Operation::Edit:
            text.Add("value", OptionalText(outcome.editValue, JsonString));
            text.Add("display text", OptionalText(outcome.displayText, JsonString));
            break;
    }
    std::string result = text.Text();
    if (withCalls) {
        result += "calls on the parameter object:\n";
        for (const std::wstring& call : outcome.calls) result += "  " + Utf8FromWide(call) + "\n";
    }
    return result;
}
