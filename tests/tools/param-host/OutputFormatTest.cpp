// What the host program prints: the JSON shape per operation (every member
// present, null for what the component did not write) and the readable text.
#include "common/OutputFormat.h"
#include "run/OutcomeFormat.h"

#include <gtest/gtest.h>

namespace {

Outcome ExplainOutcome() {
    Outcome outcome;
    outcome.operation = Operation::Explain;
    outcome.valueText = L"12.5";
    outcome.bitText = L"0011";
    outcome.displayText = L"运行 \"A\"";
    outcome.explainCode = 7;
    outcome.calls = {L"GetStartByte", L"SetValueText(\"12.5\")"};
    return outcome;
}

TEST(HostOutput, ExplainJsonHasEveryMemberInOrder) {
    EXPECT_EQ(
        "{\"operation\":\"explain\",\"hresult\":\"0x00000000\",\"succeeded\":true,\"error\":null,\"status\":null,"
        "\"valueText\":\"12.5\",\"bitText\":\"0011\",\"displayText\":\"\xE8\xBF\x90\xE8\xA1\x8C \\\"A\\\"\","
        "\"explainCode\":7}\n",
        FormatJson(ExplainOutcome(), false));
}

TEST(HostOutput, JsonCarriesTheCallsOnRequest) {
    const std::string json = FormatJson(ExplainOutcome(), true);
    EXPECT_NE(std::string::npos, json.find(",\"calls\":[\"GetStartByte\",\"SetValueText(\\\"12.5\\\")\"]}"));
}

TEST(HostOutput, ObscureAndEditJsonShapes) {
    Outcome obscure;
    obscure.operation = Operation::Obscure;
    obscure.status = 0;
    obscure.count = 4;
    obscure.bytes = std::vector<uint8_t>{0, 9, 1, 7};
    EXPECT_EQ("{\"operation\":\"obscure\",\"hresult\":\"0x00000000\",\"succeeded\":true,\"error\":null,"
              "\"status\":0,\"count\":4,\"bytes\":[0,9,1,7]}\n",
              FormatJson(obscure, false));

    Outcome edit;
    edit.operation = Operation::Edit;
    edit.result = E_UNEXPECTED;
    edit.errorDescription = L"'a' is not a valid integer value";
    EXPECT_EQ("{\"operation\":\"edit\",\"hresult\":\"0x8000FFFF\",\"succeeded\":false,"
              "\"error\":\"'a' is not a valid integer value\",\"status\":null,\"value\":null,\"displayText\":null}\n",
              FormatJson(edit, false));
}

// What a character of the Basic Multilingual Plane becomes in a JSON string:
// the quote, the backslash and \n, \r, \t escaped by name, the other
// control characters and DEL as \u with four upper-case hex digits, every
// other character as its UTF-8 bytes.
std::string ExpectedJsonCharacter(unsigned c) {
    switch (c) {
        case '"': return "\\\"";
        case '\\': return "\\\\";
        case '\n': return "\\n";
        case '\r': return "\\r";
        case '\t': return "\\t";
    }
    const char* digits = "0123456789ABCDEF";
    if (c < 0x20 || c == 0x7F) return std::string("\\u00") + digits[c >> 4] + digits[c & 15];
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    if (c < 0x800) return {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    return {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
            static_cast<char>(0x80 | (c & 0x3F))};
}

TEST(HostOutput, JsonStringOfEveryCharacter) {
    EXPECT_EQ("\"A\\u0000\\u001F\\n\\\\B\"", JsonString(std::wstring(L"A\0\x1F\n\\B", 6)));
    EXPECT_EQ("\"\\\\u00ab\\u0008\"", JsonString(L"\\u00ab\b"));
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;  // a surrogate is half a character
        const std::wstring text{L'<', static_cast<wchar_t>(c), L'>'};
        ASSERT_EQ("\"<" + ExpectedJsonCharacter(c) + ">\"", JsonString(text)) << "character " << c;
    }
}

TEST(HostOutput, TextNamesWhatWasNotWritten) {
    Outcome outcome;
    outcome.operation = Operation::Obscure;
    outcome.result = E_UNEXPECTED;
    outcome.errorDescription = L"'a' is not a valid integer value";
    outcome.count = 3;
    outcome.bytes = std::vector<uint8_t>{1, 2, 0};
    EXPECT_EQ("operation     obscure\n"
              "HRESULT       0x8000FFFF (failed) \"'a' is not a valid integer value\"\n"
              "status        (not written)\n"
              "count         3\n"
              "bytes         1 2 0\n",
              FormatText(outcome, false));
}

TEST(HostOutput, TextListsTheCallsOnRequest) {
    const std::string text = FormatText(ExplainOutcome(), true);
    EXPECT_NE(std::string::npos, text.find("display text  \"\xE8\xBF\x90\xE8\xA1\x8C \\\"A\\\"\"\n"
                                           "explain code  7\n"
                                           "calls on the parameter object:\n"
                                           "  GetStartByte\n"
                                           "  SetValueText(\"12.5\")\n"));
}

}  // namespace
