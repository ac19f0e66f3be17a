// The host program's command line: what each operation's options put into
// the request and the parameter object, and the clear refusal of bad input.
#include "common/CommandLine.h"
#include "common/HostFailure.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

CommandLine Parse(std::vector<std::wstring> arguments) { return ParseCommandLine(arguments); }

// The message of the refusal, or "accepted".
std::wstring Refusal(std::vector<std::wstring> arguments) {
    try {
        ParseCommandLine(arguments);
        return L"accepted";
    } catch (const HostFailure& failure) {
        EXPECT_EQ(ExitBadInput, failure.exitCode);
        return failure.message;
    }
}

TEST(HostCommandLine, ExplainFillsTheFieldDescription) {
    const HostRequest request = Parse({L"explain", L"--frame", L"01 03 33 34 31 32", L"--start", L"3", L"--count=4",
                                       L"--hex", L"--bit-mode", L"1", L"--bit-index", L"4", L"--suffix", L"V",
                                       L"--param-id", L"0x10", L"--json"})
                                    .request;
    EXPECT_EQ(Operation::Explain, request.operation);
    EXPECT_EQ((std::vector<uint8_t>{0x01, 0x03, 0x33, 0x34, 0x31, 0x32}), request.frame);
    EXPECT_EQ(6, request.dataLength);
    EXPECT_EQ(3, request.param.startByte);
    EXPECT_EQ(4, request.param.byteCount);
    EXPECT_TRUE(request.param.hexEncoded);
    EXPECT_EQ(1, request.param.bitMode);
    EXPECT_EQ(4, request.param.bitIndex);
    EXPECT_EQ(L"V", request.param.displaySuffix);
    EXPECT_EQ(16, request.param.paramId);
    EXPECT_TRUE(request.json);
}

TEST(HostCommandLine, ExplainFieldRunsToTheFrameEndUnlessTold) {
    EXPECT_EQ(3, Parse({L"explain", L"--frame", L"0102030405", L"--start", L"3"}).request.param.byteCount);
    EXPECT_EQ(0, Parse({L"explain", L"--frame", L"01", L"--start", L"9"}).request.param.byteCount);
    const HostRequest stated = Parse({L"explain", L"--frame", L"0102", L"--data-length", L"1"}).request;
    EXPECT_EQ(1, stated.dataLength);
    EXPECT_EQ(2, stated.param.byteCount);
}

TEST(HostCommandLine, ExplainReadsTheFrameFromAFile) {
    wchar_t path[MAX_PATH];
    GetTempFileNameW(L".", L"frm", 0, path);
    FILE* file = _wfopen(path, L"wb");
    const unsigned char bytes[] = {0x00, 0x41, 0xFF};
    std::fwrite(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    const HostRequest request = Parse({L"explain", L"--frame-file", path}).request;
    DeleteFileW(path);
    EXPECT_EQ((std::vector<uint8_t>{0x00, 0x41, 0xFF}), request.frame);
}

TEST(HostCommandLine, ObscureAndEditFillTheirSettings) {
    const ParamSettings obscure = Parse({L"obscure", L"--value", L"12.34", L"--obscure-text", L"0917", L"--int-a",
                                         L"5", L"--int-b", L"-2", L"--byte-a", L"255", L"--byte-b", L"0x0A",
                                         L"--obscure-lib", L"Ext.dll"})
                                      .request.param;
    EXPECT_EQ(L"12.34", obscure.valueText);
    EXPECT_EQ(L"0917", obscure.obscureText);
    EXPECT_EQ(5, obscure.obscureIntA);
    EXPECT_EQ(-2, obscure.obscureIntB);
    EXPECT_EQ(255, obscure.obscureByteA);
    EXPECT_EQ(10, obscure.obscureByteB);

    const HostRequest edit = Parse({L"edit", L"--name", L"模式", L"--input-kind", L"1", L"--option", L"On , 1",
                                    L"--option", L"Off,0", L"--data-type", L"5", L"--min", L"0", L"--max", L"9",
                                    L"--accept", L"0..9", L"--edit-lib", L" "})
                                 .request;
    EXPECT_EQ(L"模式", edit.param.paramName);
    EXPECT_EQ(1, edit.param.inputKind);
    EXPECT_EQ((std::vector<std::wstring>{L"On , 1", L"Off,0"}), edit.param.options);
    EXPECT_EQ(5, edit.param.dataType);
    EXPECT_EQ(L"0", edit.param.minValueText);
    EXPECT_EQ(L"9", edit.param.maxValueText);
    EXPECT_TRUE(edit.param.acceptRule.Accepts(L"9"));
    EXPECT_FALSE(edit.param.acceptRule.Accepts(L"10"));
    EXPECT_EQ(L" ", edit.libraries.edit);
    EXPECT_FALSE(edit.libraries.explain);
}

TEST(HostCommandLine, HelpWinsOverEverythingElse) {
    EXPECT_TRUE(Parse({L"--help"}).help);
    EXPECT_TRUE(Parse({L"explain", L"--frame", L"zz", L"-h"}).help);
}

TEST(HostCommandLine, RefusesBadInputNamingTheArgument) {
    EXPECT_EQ(L"no operation given: use explain, obscure or edit (see --help)", Refusal({}));
    EXPECT_EQ(L"unknown operation 'explian': use explain, obscure or edit (see --help)", Refusal({L"explian"}));
    EXPECT_EQ(L"unknown option '--colour' (see --help)", Refusal({L"obscure", L"--colour", L"red"}));
    EXPECT_EQ(L"--frame does not apply to obscure (see --help)", Refusal({L"obscure", L"--frame", L"01"}));
    EXPECT_EQ(L"--frame: odd number of hex digits (3): two per byte", Refusal({L"explain", L"--frame", L"01 2"}));
    EXPECT_EQ(L"--frame: 'G' is not a hex digit", Refusal({L"explain", L"--frame", L"0G"}));
    EXPECT_EQ(L"explain needs a frame: --frame HEX or --frame-file PATH", Refusal({L"explain", L"--hex"}));
    EXPECT_EQ(L"--start needs a value (see --help)", Refusal({L"explain", L"--frame", L"01", L"--start"}));
    EXPECT_EQ(L"--start: '1x' is not a 32-bit whole number",
              Refusal({L"explain", L"--frame", L"01", L"--start", L"1x"}));
    EXPECT_EQ(L"--count: '4294967296' is not a 32-bit whole number",
              Refusal({L"explain", L"--frame", L"01", L"--count", L"4294967296"}));
    EXPECT_EQ(L"--byte-a: '256' is not a byte value (0 to 255)", Refusal({L"obscure", L"--byte-a", L"256"}));
    EXPECT_EQ(L"--hex takes no value", Refusal({L"explain", L"--frame", L"01", L"--hex=1"}));
    EXPECT_EQ(L"--accept: '9..0' is not a rule: use any or MIN..MAX", Refusal({L"edit", L"--accept", L"9..0"}));
    EXPECT_EQ(L"--frame-file: cannot open 'no-such-frame.bin' (missing or unreadable)",
              Refusal({L"explain", L"--frame-file", L"no-such-frame.bin"}));
}

}  // namespace
