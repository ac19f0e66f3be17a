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

TEST(HostOutput, JsonEscapesControlCharactersOfRawFields) {
    EXPECT_EQ("\"A\\u0000\\u001F\\n\\\\B\"", JsonString(std::wstring(L"A\0\x1F\n\\B", 6)));
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
