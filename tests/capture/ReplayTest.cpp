// Replay end to end: calls recorded through the real component, replayed by
// param_host against the same libraries (nothing changes) and against a
// changed rules file (exactly the affected calls change, with the right
// before and after), an Edit reported as not replayable.
#include "capture/CaptureTestSupport.h"
#include "fakes/FakeParam.h"
#include "support/ExtensionLibraries.h"
#include "support/Transactor.h"
#include "util/UniqueVariant.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <random>

using namespace capture_test;
using Microsoft::WRL::ComPtr;
using nlohmann::json;

namespace {

// Rules of the test's own, read by a copy of FieldRules.dll named for them:
// [1] a voltage, [3] a state with names.
constexpr char RecordedRules[] = "[1]\ntype = u16\nscale = 0.01\ndecimals = 2\nunit = V\n"
                                 "[3]\ntype = u8\nnames = 0:stop, 1:run\n";
// One changed scale and one added name.
constexpr char ChangedRules[] = "[1]\ntype = u16\nscale = 0.1\ndecimals = 2\nunit = V\n"
                                "[3]\ntype = u8\nnames = 0:stop, 1:run, 2:fault\n";

void WriteText(const fs::path& file, const char* text) { std::ofstream(file, std::ios::binary) << text; }

std::string Hex(const std::vector<BYTE>& bytes) {
    std::string hex;
    char pair[4];
    for (BYTE byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", byte);
        hex.append(hex.empty() ? "" : " ").append(pair);
    }
    return hex;
}

std::string Fixed2(unsigned hundredths) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%02u", hundredths / 100, hundredths % 100);
    return text;
}

// What a replay against the changed rules must report: per call of [1] with
// raw r != 0 and of [3] with raw 2, keyed by the field.
struct Expected {
    size_t changed = 0;
    std::map<std::string, json> before, after;  // by "paramId field"
};

class Replay : public testing::Test {
protected:
    static void SetUpTestSuite() {
        bin = fs::current_path();
        folder = EmptyFolder("replay");
        libraryFolder = EmptyFolder("replay-rules");
        fs::copy_file(bin / "FieldRules.dll", libraryFolder / "CaptureRules.dll");
        WriteText(libraryFolder / "CaptureRules.ini", RecordedRules);
        WriteText(libraryFolder / "Changed.ini", ChangedRules);
        Record();
    }

    // 10,000 calls: Explain and Obscure through the rules' copy and the sample
    // extension, an Explain of a parameter without rules, and one Edit.
    static void Record() {
        SwitchCapture(folder.wstring());
        const std::wstring rules = (libraryFolder / "CaptureRules.dll").wstring();
        const ComPtr<IParamTransactor> ruled = NewTransactor(), sample = NewTransactor();
        for (auto put : {&IParamTransactor::put_ExplainLibrary, &IParamTransactor::put_ObscureLibrary}) {
            PutLibraryPath(*ruled.Get(), put, rules.c_str());
            PutLibraryPath(*sample.Get(), put, L"EngineeringUnits.dll");
        }
        std::mt19937 random(29);
        for (int n = 0; n < 10000; ++n) {
            FakeParam param;
            const int kind = n % 5;
            param.ParamId = kind == 0 ? 1 : kind == 1 ? 3 : kind == 2 ? 5 : 20;
            param.StartByte = 3;
            param.ByteCount = kind == 1 ? 1 : 2;
            std::vector<BYTE> frame{0x7E, 0x01, static_cast<BYTE>(random()), static_cast<BYTE>(random()), 0x0D};
            if (kind == 1) frame[2] = static_cast<BYTE>(random() % 4);
            if (kind == 0 && n % 50 == 0) frame[2] = frame[3] = 0;
            IParamTransactor& transactor = kind == 3 ? *sample.Get() : *ruled.Get();
            LONG status = 7;
            if (kind == 4) {
                param.ValueText = n % 2 ? L"run" : L"stop";
                param.ParamId = 3;
                UniqueVariant data;
                LONG count = 0;
                transactor.Obscure(&param, &data.Get(), &count, &status);
                continue;
            }
            UniqueVariant variant;
            FillBytes(variant.Get(), std::string(frame.begin(), frame.end()));
            ASSERT_EQ(S_OK, transactor.Explain(&param, variant.Get(), 5, &status));
            const std::vector<BYTE> field(frame.begin() + 2, frame.begin() + 2 + param.ByteCount);
            Note(param.ParamId, field);
        }
        FakeParam param;
        BSTR value = nullptr;
        LONG status = 0;
        PutLibraryPath(*ruled.Get(), &IParamTransactor::put_EditLibrary, L"ExtSucceed.dll");
        ruled->Edit(&param, &value, &status);
        SysFreeString(value);
        SwitchCapture(L"");
    }

    // The change a call of [1] or [3] with this field makes under the changed rules.
    static void Note(LONG paramId, const std::vector<BYTE>& field) {
        const std::string key = std::to_string(paramId) + " " + Hex(field);
        if (paramId == 1) {
            const unsigned raw = field[0] * 256u + field[1];
            if (raw == 0) return;
            ++expected.changed;
            expected.before[key] = {{"valueText", Fixed2(raw)}, {"displayText", Fixed2(raw) + " V"}};
            expected.after[key] = {{"valueText", Fixed2(raw * 10)}, {"displayText", Fixed2(raw * 10) + " V"}};
        } else if (paramId == 3 && field[0] == 2) {
            ++expected.changed;
            expected.before[key] = {{"displayText", "2"}, {"explainCode", 1}};
            expected.after[key] = {{"displayText", "fault"}, {"explainCode", 0}};
        }
    }

    static ProgramRun ParamHost(const std::wstring& arguments) {
        return RunProgram(L"\"" + (bin / "param_host.exe").wstring() + L"\" " + arguments, folder.parent_path() / "replay.out");
    }

    static inline fs::path bin, folder, libraryFolder;
    static inline Expected expected;
};

TEST_F(Replay, TheSameLibrariesChangeNothing) {
    const ProgramRun run = ParamHost(L"replay \"" + folder.wstring() + L"\" --json");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    const json report = json::parse(run.output);
    EXPECT_EQ(report["calls"], 10001);
    EXPECT_EQ(report["changed"], 0) << report["differences"].dump(1);
    EXPECT_EQ(report["notReplayed"], 1) << "the Edit";
    EXPECT_EQ(report["unchanged"], 10000);
    EXPECT_TRUE(report["damaged"].empty());
}

TEST_F(Replay, AChangedRulesFileChangesExactlyTheAffectedCalls) {
    const ProgramRun run =
        ParamHost(L"replay \"" + folder.wstring() + L"\" --json --rules \"" + (libraryFolder / "Changed.ini").wstring() + L"\"");
    ASSERT_EQ(run.exitCode, 1u) << run.output;
    const json report = json::parse(run.output);
    EXPECT_EQ(report["changed"], expected.changed);
    ASSERT_EQ(report["differences"].size(), expected.changed);
    for (const json& difference : report["differences"]) {
        const std::string key = std::to_string(difference["paramId"].get<int>()) + " " +
                                difference["field"].get<std::string>();
        ASSERT_TRUE(expected.before.count(key)) << "not affected, yet reported: " << difference.dump();
        EXPECT_EQ(difference["operation"], "explain");
        EXPECT_EQ(difference["before"], expected.before[key]) << key;
        EXPECT_EQ(difference["after"], expected.after[key]) << key;
    }
}

TEST_F(Replay, AnEditIsReportedAsNotReplayable) {
    const ProgramRun run = ParamHost(L"replay \"" + folder.wstring() + L"\"");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_NE(run.output.find("not replayed: 1 (Edit is recorded, never replayed)"), std::string::npos) << run.output;
}

TEST_F(Replay, NothingReadableIsBadInput) {
    EXPECT_EQ(ParamHost(L"replay \"" + (folder / "none.ovcap").wstring() + L"\"").exitCode, 2u);
    EXPECT_EQ(ParamHost(L"replay \"" + (libraryFolder / "CaptureRules.ini").wstring() + L"\"").exitCode, 2u);
    EXPECT_EQ(ParamHost(L"capture-show \"" + libraryFolder.wstring() + L"\"").exitCode, 2u) << "a folder without captures";
}

}  // namespace
