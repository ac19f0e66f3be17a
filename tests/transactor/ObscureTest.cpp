// Obscure through the IParamTransactor vtable: the digit text from the host
// or the obscure extension, the byte array and count it yields, the order of
// host calls, and what fails how.
#include "fakes/FakeParam.h"
#include "support/ErrorInfo.h"
#include "support/ExtensionLibraries.h"
#include "support/Transactor.h"
#include "util/UniqueVariant.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using namespace std::string_literals;
using Calls = std::vector<std::wstring>;

namespace {

constexpr LONG Untouched = 42;
constexpr LONG UntouchedCount = -7;

class ObscureTest : public testing::Test {
protected:
    void SetUp() override {
        SetErrorInfo(0, nullptr);
        V_VT(&data.Get()) = VT_I4;
        V_I4(&data.Get()) = 1234;
    }

    HRESULT Obscure() { return Obscure(param); }
    HRESULT Obscure(FakeParam& host) { return transactor->Obscure(&host, &data.Get(), &count, &status); }

    void UseLibrary(const wchar_t* path) { PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ObscureLibrary, path); }
    ScriptedState& UseScripted() { return UseScriptedLibrary(*transactor.Get(), &IParamTransactor::put_ObscureLibrary); }

    // The elements of the byte array in `data`, checking its type and bounds 0 to count - 1.
    std::vector<int> Elements() {
        EXPECT_EQ(VT_ARRAY | VT_UI1, V_VT(&data.Get()));
        SAFEARRAY* array = V_ARRAY(&data.Get());
        LONG lower = -1, upper = -2;
        SafeArrayGetLBound(array, 1, &lower);
        SafeArrayGetUBound(array, 1, &upper);
        EXPECT_EQ(1u, SafeArrayGetDim(array));
        EXPECT_EQ(0, lower);
        EXPECT_EQ(count - 1, upper);
        std::vector<int> elements;
        for (LONG i = 0; i <= upper; ++i) {
            BYTE value = 0xEE;
            SafeArrayGetElement(array, &i, &value);
            elements.push_back(value);
        }
        return elements;
    }

    void ExpectNothingWritten() {
        EXPECT_EQ(VT_I4, V_VT(&data.Get()));
        EXPECT_EQ(UntouchedCount, count);
        EXPECT_EQ(Untouched, status);
    }

    ComPtr<IParamTransactor> transactor = NewTransactor();
    FakeParam param;
    UniqueVariant data;
    LONG count = UntouchedCount;
    LONG status = Untouched;
};

const Calls ExtensionReads = {L"GetValueText",    L"GetParamId",     L"GetObscureByteB",
                              L"GetObscureByteA", L"GetObscureIntB", L"GetObscureIntA"};

Calls With(Calls calls, const std::wstring& last) {
    calls.push_back(last);
    return calls;
}

// ---- the host's digit text

TEST_F(ObscureTest, WithoutAnExtensionTheHostsTextGivesOneByteValuePerDigit) {
    param.ObscureText = L"0917";
    for (const wchar_t* path : {L"", L"  \t", L"NoSuchLibrary.dll", L"ExtNoEntry.dll"}) {
        SCOPED_TRACE(testing::Message() << "library path \"" << path << "\"");
        param.Calls.clear();
        UseLibrary(path);
        ASSERT_EQ(S_OK, Obscure());
        EXPECT_EQ((Calls{L"GetValueText", L"GetObscureText"}), param.Calls);
        EXPECT_EQ(4, count);
        EXPECT_EQ((std::vector<int>{0, 9, 1, 7}), Elements());
        EXPECT_EQ(0, status);
    }
}

TEST_F(ObscureTest, EmptyDigitTextGivesAnArrayWithoutElements) {
    ASSERT_EQ(S_OK, Obscure());
    EXPECT_EQ(0, count);
    EXPECT_TRUE(Elements().empty());
    EXPECT_EQ(0, status);
}

TEST_F(ObscureTest, ReleasesWhatTheDataArgumentHeldBefore) {
    FakeParam previous;
    V_VT(&data.Get()) = VT_UNKNOWN;
    V_UNKNOWN(&data.Get()) = &previous;
    previous.AddRef();
    param.ObscureText = L"5";
    ASSERT_EQ(S_OK, Obscure());
    EXPECT_EQ(0, previous.OutstandingReferences());
    EXPECT_EQ((std::vector<int>{5}), Elements());
}

TEST_F(ObscureTest, NonDigitFailsWithItsCharacterKeepingCountAndEarlierElements) {
    const std::tuple<const wchar_t*, const wchar_t*, std::vector<int>> cases[] = {
        {L"12a", L"'a' is not a valid integer value", {1, 2}},
        {L" 5", L"' ' is not a valid integer value", {}},
        {L"7$", L"'$' is not a valid integer value", {7}},
    };
    for (const auto& [digits, message, setElements] : cases) {
        SCOPED_TRACE(digits);
        param.ObscureText = digits;
        status = Untouched;
        EXPECT_EQ(E_UNEXPECTED, Obscure());
        EXPECT_EQ(message, TakeErrorDescription());
        EXPECT_EQ(static_cast<LONG>(wcslen(digits)), count);
        const std::vector<int> elements = Elements();
        EXPECT_EQ(setElements, std::vector<int>(elements.begin(), elements.begin() + setElements.size()));
        EXPECT_EQ(Untouched, status);
    }
}

TEST_F(ObscureTest, AHostTextBeyondAsciiIsCountedInItsSystemCodePageBytes) {
    param.ObscureText = L"12\x4F0F";  // 伏 is the two bytes B7 FC in GBK
    EXPECT_EQ(E_UNEXPECTED, Obscure());
    EXPECT_EQ(4, count);
    const std::vector<int> elements = Elements();
    EXPECT_EQ((std::vector<int>{1, 2}), std::vector<int>(elements.begin(), elements.begin() + 2));
    EXPECT_EQ(Untouched, status);
}

TEST_F(ObscureTest, FailingHostTextEndsTheOperationWithNothingWritten) {
    param.Fail(L"GetValueText", E_ACCESSDENIED);
    EXPECT_EQ(E_ACCESSDENIED, Obscure());
    EXPECT_EQ((Calls{L"GetValueText"}), param.Calls);
    ExpectNothingWritten();

    FakeParam withoutText;
    withoutText.Fail(L"GetObscureText", E_FAIL);
    EXPECT_EQ(E_FAIL, Obscure(withoutText));
    EXPECT_EQ((Calls{L"GetValueText", L"GetObscureText"}), withoutText.Calls);
    ExpectNothingWritten();
}

TEST_F(ObscureTest, MissingParameterFailsBeforeAnyHostCallAMissingOutArgumentWhenItIsWritten) {
    EXPECT_EQ(E_POINTER, transactor->Obscure(nullptr, &data.Get(), &count, &status));
    EXPECT_TRUE(param.Calls.empty());
    ExpectNothingWritten();

    // Count, data and status are written in this order: each missing one
    // fails the call there, after what comes before it was written.
    param.ObscureText = L"07";
    EXPECT_EQ(E_POINTER, transactor->Obscure(&param, &data.Get(), nullptr, &status));
    ExpectNothingWritten();
    EXPECT_EQ(E_POINTER, transactor->Obscure(&param, nullptr, &count, &status));
    EXPECT_EQ(2, count);
    EXPECT_EQ(VT_I4, V_VT(&data.Get()));
    EXPECT_EQ(E_POINTER, transactor->Obscure(&param, &data.Get(), &count, nullptr));
    EXPECT_EQ((std::vector<int>{0, 7}), Elements());
    EXPECT_EQ(Untouched, status);
    EXPECT_EQ(L"The status argument is missing", TakeErrorDescription());
}

// ---- the extension's digit text

TEST_F(ObscureTest, ExtensionDigitsAreUsedAndItGetsEveryArgumentInItsPlace) {
    ScriptedState& extension = UseScripted();
    SetScriptedOutput(extension.value, "0917"s + '\0');
    param.ValueText = L"12.5\x4F0F";
    param.ParamId = 31;
    param.ObscureIntA = -100000;
    param.ObscureIntB = 200000;
    param.ObscureByteA = 0xA1;
    param.ObscureByteB = 0x7B;
    param.ObscureText = L"never read";
    ASSERT_EQ(S_OK, Obscure());

    EXPECT_EQ(ExtensionReads, param.Calls);
    EXPECT_EQ((std::vector<int>{0, 9, 1, 7}), Elements());
    EXPECT_EQ(0, status);
    EXPECT_EQ(1, extension.calls);
    EXPECT_EQ("12.5\xB7\xFC", RecordedBytes(extension.valueText));
    EXPECT_EQ(0, extension.reserved.length);
    EXPECT_EQ(31, extension.paramId);
    EXPECT_EQ(-100000, extension.obscureIntA);
    EXPECT_EQ(200000, extension.obscureIntB);
    EXPECT_EQ(0xA1, extension.obscureByteA);
    EXPECT_EQ(0x7B, extension.obscureByteB);
    EXPECT_EQ(static_cast<IParam*>(&param), extension.param);
}

TEST_F(ObscureTest, ExtensionOutputEndsAtItsFirstZeroByte) {
    ScriptedState& extension = UseScripted();
    SetScriptedOutput(extension.value, "12\0" "34"s);
    ASSERT_EQ(S_OK, Obscure());
    EXPECT_EQ((std::vector<int>{1, 2}), Elements());
    EXPECT_EQ(ExtensionReads, param.Calls);
}

TEST_F(ObscureTest, ExtensionOutputWithoutTerminatorIsReadTo4096Bytes) {
    ScriptedState& extension = UseScripted();
    SetScriptedOutput(extension.value, std::string(4096, '3'));
    ASSERT_EQ(S_OK, Obscure());
    EXPECT_EQ(4096, count);
    EXPECT_EQ(std::vector<int>(4096, 3), Elements());
}

TEST_F(ObscureTest, EmptyOrFailedExtensionOutputFallsBackToTheHostsText) {
    ScriptedState& extension = UseScripted();
    param.ObscureText = L"8";
    for (int32_t result : {0, 1, -1}) {
        SCOPED_TRACE(testing::Message() << "extension result " << result);
        param.Calls.clear();
        extension.result = result;
        SetScriptedOutput(extension.value, result == 0 ? "\0"s : "55"s + '\0');
        ASSERT_EQ(S_OK, Obscure());
        EXPECT_EQ(With(ExtensionReads, L"GetObscureText"), param.Calls);
        EXPECT_EQ((std::vector<int>{8}), Elements());
    }
}

// The obscure numbers are read under the same guard as the extension call:
// a host that fails or faults there only skips the extension.
TEST_F(ObscureTest, FailingOrFaultingObscureNumberSkipsTheExtensionSilently) {
    ScriptedState& extension = UseScripted();
    for (bool faults : {false, true}) {
        for (size_t failing = 2; failing < ExtensionReads.size(); ++failing) {
            SCOPED_TRACE(testing::Message() << (faults ? "faulting " : "failing ") << ExtensionReads[failing]);
            FakeParam host;
            host.ObscureText = L"8";
            if (faults)
                host.Crash(ExtensionReads[failing]);
            else
                host.Fail(ExtensionReads[failing], E_FAIL, L"host says no");
            ASSERT_EQ(S_OK, Obscure(host));
            const Calls attempted(ExtensionReads.begin(),
                                  ExtensionReads.begin() + static_cast<ptrdiff_t>(failing) + 1);
            EXPECT_EQ(With(attempted, L"GetObscureText"), host.Calls);
            EXPECT_EQ((std::vector<int>{8}), Elements());
            EXPECT_EQ(0, status);
        }
    }
    EXPECT_EQ(0, extension.calls);
}

TEST_F(ObscureTest, FailingParamIdEndsTheOperationWithNothingWritten) {
    ScriptedState& extension = UseScripted();
    param.Fail(L"GetParamId", E_FAIL);
    EXPECT_EQ(E_FAIL, Obscure());
    EXPECT_EQ((Calls{L"GetValueText", L"GetParamId"}), param.Calls);
    ExpectNothingWritten();
    EXPECT_EQ(0, extension.calls);
}

TEST_F(ObscureTest, ExtensionGetsEveryByteOfALongValueText) {
    ScriptedState& extension = UseScripted();
    std::wstring value;
    for (int i = 0; i < 10000; ++i) value.push_back(static_cast<wchar_t>(L'a' + i % 26));
    param.ValueText = value;
    SetScriptedOutput(extension.value, "1"s + '\0');
    ASSERT_EQ(S_OK, Obscure());
    EXPECT_EQ(10000, extension.valueText.length);
    EXPECT_EQ(std::string(value.begin(), value.end()), RecordedBytes(extension.valueText));
}

}  // namespace
