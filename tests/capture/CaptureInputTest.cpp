// param_host's capture commands on input they must not trust or cannot
// read: frames whose recorded bounds are out of all proportion, paths that
// are no captures among ones that are, rules files that are none, a status
// the call did not write, a capture folder with a long path.
#include "capture/CaptureTestSupport.h"
#include "util/CaptureRecordBuilder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace capture_test;
using nlohmann::json;

namespace {

std::wstring Quoted(const fs::path& path) { return L"\"" + path.wstring() + L"\""; }

ProgramRun ParamHost(const fs::path& folder, const std::wstring& arguments) {
    return RunProgram(Quoted(fs::current_path() / "param_host.exe") + L" " + arguments, folder / "param_host.out");
}

struct FrameShape {
    uint32_t type;
    int32_t lowerBound, elements, firstIndex;
};

// An Explain of parameter 1 whose frame has `shape`, with 8 recorded bytes.
std::string ExplainRecord(const FrameShape& shape) {
    CaptureRecordBuilder record(CaptureCallKind);
    record.AddU32(CaptureTag::Operation, static_cast<uint32_t>(CaptureOperation::Explain));
    record.AddI32(CaptureTag::ParamId, 1);
    record.AddI32(CaptureTag::DataLength, 10);
    record.BeginItem(CaptureTag::FrameShape);
    for (uint32_t number : {shape.type, 1u, static_cast<uint32_t>(shape.lowerBound), static_cast<uint32_t>(shape.elements)})
        record.AppendNumber(number);
    record.EndItem();
    record.BeginItem(CaptureTag::HostCalls);
    for (uint8_t slot : {ParamMethodSlot("GetStartByte"), ParamMethodSlot("GetByteCount")}) {
        record.AppendNumber(slot);
        record.AppendNumber(static_cast<uint8_t>(CaptureValueKind::Number));
        record.AppendNumber(int32_t{1});
    }
    record.EndItem();
    record.BeginItem(CaptureTag::FrameBytes);
    record.AppendNumber(shape.firstIndex);
    record.Append("ABCDEFGH", 8);
    record.EndItem();
    return std::string(record.Finish());
}

void WriteCapture(const fs::path& file, const std::vector<std::string>& calls) {
    CaptureRecordBuilder header(CaptureFileKind);
    header.AddU32(CaptureTag::FormatVersion, CaptureFormatVersion);
    std::ofstream out(file, std::ios::binary);
    out << header.Finish();
    for (const std::string& call : calls) out << call;
}

TEST(CaptureInput, AFrameBeyondTheReplayBoundIsNotReplayed) {
    const fs::path folder = EmptyFolder("input-frame");
    // Counts whose byte size wraps 32 bits (4-byte and 16-byte elements), a
    // count just past the bound, recorded bytes outside the frame, and a
    // sound frame, whose call goes on to the component.
    WriteCapture(folder / "frames.ovcap", {ExplainRecord({VT_ARRAY | VT_I4, 0, 0x40000001, 0x01000000}),
                                           ExplainRecord({VT_ARRAY | VT_VARIANT, 0, 0x10000001, 0x01000000}),
                                           ExplainRecord({VT_ARRAY | VT_UI1, 0, (1 << 20) + 1, 0}),
                                           ExplainRecord({VT_ARRAY | VT_UI1, 0, 8, 100}),
                                           ExplainRecord({VT_ARRAY | VT_UI1, 5, 8, 5})});
    const ProgramRun run = ParamHost(folder, L"replay " + Quoted(folder));
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    for (const char* reason : {"the frame's element count 1073741825 is outside 0 to 1048576",
                               "the frame's element count 268435457 is outside 0 to 1048576",
                               "the frame's element count 1048577 is outside 0 to 1048576",
                               "the frame's recorded bytes lie outside its bounds"})
        EXPECT_NE(run.output.find(reason), std::string::npos) << reason << "\n" << run.output;
    EXPECT_NE(run.output.find("total: 5 calls"), std::string::npos) << run.output;
}

TEST(CaptureInput, APathThatCannotBeReadIsANoteAmongOnesThatCan) {
    const fs::path folder = EmptyFolder("input-paths");
    WriteCapture(folder / "good.ovcap", {ExplainRecord({VT_ARRAY | VT_UI1, 0, 8, 0})});
    std::ofstream(folder / "text.ovcap") << "no capture";
    const std::wstring missing = Quoted(folder / "missing.ovcap"), text = Quoted(folder / "text.ovcap");
    for (const wchar_t* command : {L"replay ", L"capture-show "}) {
        const ProgramRun some = ParamHost(folder, command + missing + L" " + Quoted(folder / "good.ovcap") + L" " + text);
        EXPECT_EQ(some.exitCode, 0u) << some.output;
        EXPECT_NE(some.output.find("missing.ovcap: no such file or folder, skipped"), std::string::npos) << some.output;
        EXPECT_NE(some.output.find("text.ovcap: not a capture file"), std::string::npos) << some.output;
        EXPECT_EQ(ParamHost(folder, command + missing + L" " + text).exitCode, 2u) << "nothing could be read";
    }
}

TEST(CaptureInput, ARulesFileThatIsNoneIsRefusedAndItsProblemsNamed) {
    const fs::path folder = EmptyFolder("input-rules");
    WriteCapture(folder / "good.ovcap", {ExplainRecord({VT_ARRAY | VT_UI1, 0, 8, 0})});
    std::ofstream(folder / "binary.ini", std::ios::binary) << std::string("MZ\x90\0\x03\0\0\0\xFF\xFF", 10);
    std::ofstream(folder / "none.ini") << "[Param1]\nScale=0.1\n";
    std::ofstream(folder / "partly.ini") << "[1]\ntype = u16\n[2]\ntype = nonsense\n";
    for (const char* file : {"binary.ini", "none.ini"})
        EXPECT_EQ(ParamHost(folder, L"replay " + Quoted(folder / "good.ovcap") + L" --rules " + Quoted(folder / file)).exitCode, 2u)
            << file;
    const ProgramRun partly = ParamHost(folder, L"replay " + Quoted(folder / "good.ovcap") + L" --rules " + Quoted(folder / "partly.ini"));
    EXPECT_LE(partly.exitCode, 1u) << partly.output;
    EXPECT_NE(partly.output.find("partly.ini line 4: "), std::string::npos) << partly.output;
}

TEST(CaptureInput, AStatusTheCallDidNotWriteShowsAsExplainShowsIt) {
    const fs::path folder = EmptyFolder("input-status");
    const std::wstring explain = L"explain --frame \"7E 42 38 30 42 0D\" --start 2 --count 4 --hex --param-id 1 --json";
    const json explained = json::parse(ParamHost(folder, L"--capture " + Quoted(folder) + L" " + explain).output);
    const json shown = json::parse(ParamHost(folder, L"capture-show " + Quoted(folder) + L" --json").output);
    ASSERT_EQ(shown["records"].size(), 1u);
    EXPECT_EQ(shown["records"][0]["status"], explained["status"]);
}

TEST(CaptureInput, ACaptureFolderWithATooLongPathIsNamedSo) {
    const fs::path out = EmptyFolder("input-long");
    fs::path folder = out;
    while (folder.wstring().size() < 300) folder /= std::wstring(60, L'd');
    // Not made: its length alone decides (a tree this deep is hard to remove again).
    // param_host names the problem on its standard error.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE errors = CreateFileW((out / "errors.txt").wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const HANDLE standardError = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_ERROR_HANDLE, errors);
    const ProgramRun run = ParamHost(out, L"--capture " + Quoted(folder) + L" explain --frame 01");
    SetStdHandle(STD_ERROR_HANDLE, standardError);
    CloseHandle(errors);
    EXPECT_EQ(run.exitCode, 2u);
    const std::string said = FileBytes(out / "errors.txt");
    EXPECT_NE(said.find("longer than 259 characters"), std::string::npos) << said;
}

}  // namespace
