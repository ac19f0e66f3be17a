// Capture in the component, through its real DLL: what a record holds, that
// results are the same with capture on, off, or on into a folder that
// cannot be written, the ParamIds filter and the switch through the user's
// registry key while the process runs.
#include "capture/CaptureTestSupport.h"
#include "fakes/FakeParam.h"
#include "support/ExtensionLibraries.h"
#include "support/Transactor.h"
#include "util/FileHash.h"
#include "util/UniqueVariant.h"

#include <gtest/gtest.h>

#include <random>

using namespace capture_test;
using Microsoft::WRL::ComPtr;

namespace {

// What the host holds after a call.
struct HostView {
    HRESULT result;
    LONG status;
    std::wstring value, bit, display;
    USHORT code;
    std::string digits;
    bool operator==(const HostView&) const = default;
};

std::string DigitsOf(const VARIANT& data) {
    std::string digits;
    if (V_VT(&data) != (VT_ARRAY | VT_UI1)) return digits;
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(V_ARRAY(&data), 1, &lower);
    SafeArrayGetUBound(V_ARRAY(&data), 1, &upper);
    for (LONG i = lower; i <= upper; ++i) {
        BYTE digit = 0;
        SafeArrayGetElement(V_ARRAY(&data), &i, &digit);
        digits += static_cast<char>('0' + digit);
    }
    return digits;
}

// One random Explain or Obscure, the same for the same seed.
HostView RandomCall(IParamTransactor& transactor, uint32_t seed) {
    std::mt19937 random(seed);
    FakeParam param;
    param.ParamId = static_cast<LONG>(random() % 12);
    param.StartByte = static_cast<LONG>(random() % 8);
    param.ByteCount = static_cast<LONG>(random() % 5);
    param.HexEncoded = random() % 2 ? VARIANT_TRUE : VARIANT_FALSE;
    param.BitMode = static_cast<LONG>(random() % 2);
    param.BitIndex = static_cast<LONG>(random() % 9);
    param.DisplaySuffix = random() % 2 ? L"V" : L"";
    param.ValueText = std::to_wstring(random() % 1000);
    param.ObscureText = L"0917";
    HostView view{};
    view.status = 42;
    if (random() % 4) {
        std::string bytes(random() % 9, '\0');
        for (char& byte : bytes) byte = static_cast<char>("0123456789ABCDEF\x7E\x0D\xB8"[random() % 19]);
        UniqueVariant frame;
        FillBytes(frame.Get(), bytes);
        view.result = transactor.Explain(&param, frame.Get(), static_cast<LONG>(bytes.size()), &view.status);
    } else {
        UniqueVariant data;
        LONG count = 0;
        view.result = transactor.Obscure(&param, &data.Get(), &count, &view.status);
        view.digits = DigitsOf(data.Get());
    }
    view.value = param.SetValue;
    view.bit = param.SetBit;
    view.display = param.SetDisplay;
    view.code = param.SetCode;
    return view;
}

// The transactors of the sweep: built in, the sample extension, field rules.
std::vector<ComPtr<IParamTransactor>> Transactors() {
    std::vector<ComPtr<IParamTransactor>> transactors{NewTransactor(), NewTransactor(), NewTransactor()};
    for (auto put : {&IParamTransactor::put_ExplainLibrary, &IParamTransactor::put_ObscureLibrary}) {
        PutLibraryPath(*transactors[1].Get(), put, L"EngineeringUnits.dll");
        PutLibraryPath(*transactors[2].Get(), put, L"FieldRules.dll");
    }
    return transactors;
}

std::vector<HostView> Sweep(uint32_t calls) {
    const auto transactors = Transactors();
    std::vector<HostView> views;
    for (uint32_t seed = 0; seed < calls; ++seed) views.push_back(RandomCall(*transactors[seed % 3].Get(), seed));
    return views;
}

const CapturedHostCall* Answer(const CapturedCall& call, std::string_view method) {
    for (const CapturedHostCall& hostCall : call.hostCalls)
        if (ParamMethodName(hostCall.slot) == method) return &hostCall;
    return nullptr;
}

TEST(ComponentCapture, ARecordHoldsWhatTheHostPassedAndWhatItGot) {
    const fs::path folder = EmptyFolder("record");
    SwitchCapture(folder.wstring());
    const ComPtr<IParamTransactor> transactor = NewTransactor();
    for (auto put : {&IParamTransactor::put_ExplainLibrary, &IParamTransactor::put_EditLibrary})
        PutLibraryPath(*transactor.Get(), put, L"ExtSucceed.dll");
    FakeParam param;
    param.ParamId = 12;
    param.StartByte = 2;
    param.ByteCount = 2;
    param.ObscureText = L"0917";
    UniqueVariant frame, digits;
    FillBytes(frame.Get(), "\x7E\x0B\xB8\x0D");
    LONG status = 42, count = 0;
    BSTR edited = nullptr;
    ASSERT_EQ(S_OK, transactor->Explain(&param, frame.Get(), 4, &status));
    ASSERT_EQ(S_OK, transactor->Obscure(&param, &digits.Get(), &count, &status));
    ASSERT_EQ(S_OK, transactor->Edit(&param, &edited, &status));
    SysFreeString(edited);
    SwitchCapture(L"");

    const std::vector<CapturedCall> calls = CapturedCalls(folder);
    ASSERT_EQ(calls.size(), 3u);
    const CapturedCall& explain = calls[0];
    EXPECT_EQ(explain.operation, CaptureOperation::Explain);
    EXPECT_EQ(explain.paramId, 12);
    EXPECT_EQ(explain.dataLength, 4);
    ASSERT_TRUE(explain.frame);
    EXPECT_EQ(explain.frame->type, VT_ARRAY | VT_UI1);
    EXPECT_EQ(explain.frame->elements, 4);
    EXPECT_EQ(explain.frame->bytes, "\x7E\x0B\xB8\x0D");
    EXPECT_EQ(Answer(explain, "GetStartByte")->number, 2);
    EXPECT_EQ(Answer(explain, "GetByteCount")->number, 2);
    EXPECT_EQ(Answer(explain, "SetValueText")->text, L"12.5");
    EXPECT_EQ(Answer(explain, "SetDisplayText")->text, L"High");
    EXPECT_EQ(Answer(explain, "SetExplainCode")->number, 7);
    EXPECT_EQ(explain.libraryPath, L"ExtSucceed.dll");
    EXPECT_EQ(explain.libraryHash, FileHash(L"ExtSucceed.dll"));
    EXPECT_EQ(explain.result, S_OK);
    EXPECT_EQ(explain.status, 42) << "Explain writes the status only when it refuses";

    EXPECT_EQ(calls[1].operation, CaptureOperation::Obscure);
    EXPECT_EQ(calls[1].digits, std::string("\x00\x09\x01\x07", 4));
    EXPECT_EQ(calls[1].libraryPath, L"");
    EXPECT_EQ(calls[2].operation, CaptureOperation::Edit);
    EXPECT_EQ(calls[2].editValue, L"5");
    EXPECT_EQ(calls[2].status, 0);
}

TEST(ComponentCapture, TheHostSeesTheSameWithCaptureOnOffOrUnwritable) {
    constexpr uint32_t calls = 600;
    SwitchCapture(L"");
    const std::vector<HostView> off = Sweep(calls);
    const fs::path folder = EmptyFolder("same");
    SwitchCapture(folder.wstring());
    EXPECT_EQ(Sweep(calls), off) << "capture on";
    EXPECT_EQ(CapturedCalls(folder).size(), calls);
    SwitchCapture((folder / "no" / "such" / "folder").wstring());
    EXPECT_EQ(Sweep(calls), off) << "capture into a folder that cannot be written";
    SwitchCapture(L"");
}

void ObscureOnce(IParamTransactor& transactor, LONG paramId) {
    FakeParam param;
    param.ParamId = paramId;
    UniqueVariant data;
    LONG count = 0, status = 0;
    transactor.Obscure(&param, &data.Get(), &count, &status);
}

struct ObscureView {
    HRESULT result;
    LONG status;
    std::string digits;
    bool operator==(const ObscureView&) const = default;
};

ObscureView ObscureText(IParamTransactor& transactor, LONG paramId, const std::wstring& valueText) {
    FakeParam param;
    param.ParamId = paramId;
    param.ObscureText = L"123";
    param.ValueText = valueText;
    UniqueVariant data;
    LONG count = 0, status = 5;
    const HRESULT result = transactor.Obscure(&param, &data.Get(), &count, &status);
    return {result, status, DigitsOf(data.Get())};
}

// A value text of 600,000 characters makes a record of more than 1.2 MB,
// more than a capture file may hold: that call alone is missing from the
// capture, one line names it, and the host holds what it holds with capture off.
TEST(ComponentCapture, ACallTooLargeToRecordIsDroppedWithALogLine) {
    const std::wstring large(600000, L'7');
    const fs::path folder = EmptyFolder("oversized");
    std::vector<ObscureView> on, off;
    for (const auto& [capture, views] : {std::pair(folder.wstring(), &on), std::pair(std::wstring(), &off)}) {
        SwitchCapture(capture);
        const ComPtr<IParamTransactor> transactor = NewTransactor();
        for (LONG id : {10, 11, 12}) views->push_back(ObscureText(*transactor.Get(), id, id == 11 ? large : L"12.5"));
    }
    EXPECT_EQ(on, off);
    std::vector<int32_t> kept;
    for (const CapturedCall& call : CapturedCalls(folder)) kept.push_back(*call.paramId);
    EXPECT_EQ(kept, (std::vector<int32_t>{10, 12}));
    const std::string log = FileBytes(folder / "capture.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    const std::string_view naming = "capture record dropped: the call on parameter id 11 made a record of ";
    const size_t named = log.find(naming);
    ASSERT_NE(named, std::string::npos) << log;
    const unsigned long size = std::stoul(log.substr(named + naming.size()));
    EXPECT_GT(size, 2 * large.size()) << log;
    EXPECT_LT(size, 2 * large.size() + 4096) << log;
}

// The host's value text, shown as the field of an Obscure, is quoted: a line
// end in it starts no line of its own, a NUL writes none.
TEST(ComponentCapture, CaptureShowQuotesTheHostsValueText) {
    const fs::path folder = EmptyFolder("show-quoted");
    SwitchCapture(folder.wstring());
    using namespace std::literals;
    ObscureText(*NewTransactor().Get(), 3, std::wstring(L"1\n2026-12-08 05:15:59.517  obscure    9  \0x"sv));
    SwitchCapture(L"");
    const ProgramRun shown = RunProgram(L"\"" + (fs::current_path() / "param_host.exe").wstring() + L"\" capture-show \"" + folder.wstring() + L"\"",
                                        folder.parent_path() / "show-quoted.out");
    EXPECT_EQ(shown.exitCode, 0u) << shown.output;
    EXPECT_EQ(std::count(shown.output.begin(), shown.output.end(), '\n'), 2) << shown.output;
    EXPECT_EQ(shown.output.find('\0'), std::string::npos) << shown.output;
    EXPECT_NE(shown.output.find(R"("1\n2026-12-08 05:15:59.517  obscure    9  \u0000x")"), std::string::npos)
        << shown.output;
}

TEST(ComponentCapture, ParamIdsKeepsTheListedParametersOnly) {
    const fs::path folder = EmptyFolder("param-ids");
    SwitchCapture(folder.wstring(), nullptr, L"1-16, 5000");
    const ComPtr<IParamTransactor> transactor = NewTransactor();
    for (LONG id : {0, 1, 9, 16, 17, 4999, 5000, 5001, -1}) ObscureOnce(*transactor.Get(), id);
    SwitchCapture(L"");
    std::vector<int32_t> kept;
    for (const CapturedCall& call : CapturedCalls(folder)) kept.push_back(*call.paramId);
    EXPECT_EQ(kept, (std::vector<int32_t>{1, 9, 16, 5000}));
}

TEST(ComponentCapture, AMaxMbThatIsNoNumberLeavesCaptureOffAndSaysSo) {
    const ComPtr<IParamTransactor> transactor = NewTransactor();
    int n = 0;
    for (const wchar_t* maxMb : {L"-1", L"99999999999", L"1x", L" 1", L"0x10"}) {
        const fs::path folder = EmptyFolder("max-mb-" + std::to_string(++n));
        SwitchCapture(folder.wstring(), maxMb);
        ObscureOnce(*transactor.Get(), 1);
        SwitchCapture(L"");
        EXPECT_TRUE(CapturedCalls(folder).empty()) << "MaxMB " << n;
        const std::string log = FileBytes(folder / "capture.log");
        EXPECT_NE(log.find("is no whole number of megabytes"), std::string::npos) << "MaxMB " << n << ": " << log;
    }
}

// The user's key, as an integrator sets it at a running station.
void SetCaptureKey(const std::wstring& folder, DWORD type = REG_SZ) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\OvixParamTransactor\\Capture", 0, nullptr,
                                             0, KEY_SET_VALUE, nullptr, &key, nullptr));
    RegSetValueExW(key, L"Folder", 0, type, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

TEST(ComponentCapture, TheRegistryKeySwitchesCaptureWhileTheProcessRuns) {
    const fs::path folder = EmptyFolder("registry");
    SetEnvironmentVariableW(L"OVIX_PARAM_CAPTURE_FOLDER", nullptr);
    SetEnvironmentVariableW(L"OVIX_PARAM_CAPTURE_REREAD_MS", L"0");
    const ComPtr<IParamTransactor> transactor = NewTransactor();
    SetCaptureKey(folder.wstring());
    ObscureOnce(*transactor.Get(), 1);
    SetCaptureKey(L"");
    ObscureOnce(*transactor.Get(), 2);
    SetCaptureKey(folder.wstring());
    ObscureOnce(*transactor.Get(), 3);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\OvixParamTransactor\\Capture");
    ObscureOnce(*transactor.Get(), 4);
    std::vector<int32_t> kept;
    for (const CapturedCall& call : CapturedCalls(folder)) kept.push_back(*call.paramId);
    EXPECT_EQ(kept, (std::vector<int32_t>{1, 3}));
}

TEST(ComponentCapture, AnExpandableFolderHasItsVariablesExpanded) {
    const fs::path folder = EmptyFolder("expanded");
    SetEnvironmentVariableW(L"OVIX_PARAM_CAPTURE_FOLDER", nullptr);
    SetEnvironmentVariableW(L"OVIX_PARAM_CAPTURE_REREAD_MS", L"0");
    SetEnvironmentVariableW(L"OVIX_CAPTURE_TEST_ROOT", folder.parent_path().wstring().c_str());
    SetCaptureKey(L"%OVIX_CAPTURE_TEST_ROOT%\\expanded", REG_EXPAND_SZ);
    const ComPtr<IParamTransactor> transactor = NewTransactor();
    ObscureOnce(*transactor.Get(), 6);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\OvixParamTransactor\\Capture");
    ObscureOnce(*transactor.Get(), 7);
    ASSERT_EQ(CapturedCalls(folder).size(), 1u);
    EXPECT_EQ(CapturedCalls(folder)[0].paramId, 6);
}

}  // namespace
