// Failures as the host sees them through the IParamTransactor vtable: the
// HRESULT of the operation and the error information on its thread.
#include "fakes/FakeParam.h"
#include "support/ErrorInfo.h"
#include "support/Transactor.h"
#include "util/UniqueVariant.h"

#include <gtest/gtest.h>

#include <psapi.h>

using Microsoft::WRL::ComPtr;

namespace {

class InterfaceErrorsTest : public testing::Test {
protected:
    void SetUp() override { SetErrorInfo(0, nullptr); }

    HRESULT Obscure(FakeParam& host) { return transactor->Obscure(&host, &data.Get(), &count, &status); }
    HRESULT Explain(FakeParam& host) {
        UniqueVariant frame;
        return transactor->Explain(&host, frame.Get(), 4, &status);
    }

    void ExpectErrorInfo(const std::wstring& description) {
        const ThreadErrorInfo info = TakeThreadErrorInfo();
        EXPECT_TRUE(info.present);
        EXPECT_EQ(description, info.description);
        EXPECT_EQ(L"OvixParamTransactor.ParamTransactor", info.source);
        EXPECT_EQ(__uuidof(IParamTransactor), info.interfaceId);
        EXPECT_EQ(L"", info.helpFile);
    }

    ComPtr<IParamTransactor> transactor = NewTransactor();
    UniqueVariant data;
    LONG count = 0;
    LONG status = 42;
};

TEST_F(InterfaceErrorsTest, ConversionErrorIsUnexpectedWithItsMessage) {
    FakeParam host;
    host.ObscureText = L"12a";
    EXPECT_EQ(E_UNEXPECTED, Obscure(host));
    ExpectErrorInfo(L"'a' is not a valid integer value");
}

TEST_F(InterfaceErrorsTest, HostFailurePassesItsCodeOnWithTheDescriptionTrimmed) {
    FakeParam host;
    host.Fail(L"GetByteCount", E_FAIL, L"Byte count unavailable. ");
    EXPECT_EQ(E_FAIL, Explain(host));
    // The host's own source is not passed on.
    ExpectErrorInfo(L"Byte count unavailable");
    EXPECT_EQ(42, status);
}

TEST_F(InterfaceErrorsTest, HostFailureWithoutErrorInfoTakesTheSystemTextOrTheCode) {
    wchar_t systemText[256] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(E_FAIL), 0, systemText, 256, nullptr);
    std::wstring expected(systemText, length);
    expected.erase(expected.find_last_not_of(L"\r\n\t .") + 1);
    ASSERT_NE(L"", expected);

    FakeParam failing;
    failing.Fail(L"GetStartByte", E_FAIL);
    EXPECT_EQ(E_FAIL, Explain(failing));
    ExpectErrorInfo(expected);

    FakeParam unknown;
    unknown.Fail(L"GetValueText", static_cast<HRESULT>(0x8ABC0123));
    EXPECT_EQ(static_cast<HRESULT>(0x8ABC0123), Obscure(unknown));
    ExpectErrorInfo(L"OLE error 8ABC0123");
}

TEST_F(InterfaceErrorsTest, NonNegativeHostResultsRaiseNothing) {
    FakeParam host;
    host.ValueText = L"v";
    host.ObscureText = L"07";
    host.Fail(L"GetValueText", S_FALSE);
    host.Fail(L"GetObscureText", 2);
    EXPECT_EQ(S_OK, Obscure(host));
    EXPECT_EQ(2, count);
    EXPECT_EQ(0, status);
}

TEST_F(InterfaceErrorsTest, ProcessorFaultIsUnexpectedAndLeavesErrorInfoAlone) {
    FakeParam crashing;
    crashing.Crash(L"GetObscureText");
    SetThreadErrorInfo(L"Host", L"earlier failure");
    EXPECT_EQ(E_UNEXPECTED, Obscure(crashing));
    const ThreadErrorInfo info = TakeThreadErrorInfo();
    EXPECT_EQ(L"Host", info.source);
    EXPECT_EQ(L"earlier failure", info.description);
}

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters.PrivateUsage;
}

TEST_F(InterfaceErrorsTest, TheSameObjectServesAThousandCallsAfterFaultsWithoutLeaking) {
    FakeParam crashing;
    crashing.Crash(L"GetObscureText");
    FakeParam good;
    good.ObscureText = L"0917";
    auto round = [&] {
        ASSERT_EQ(E_UNEXPECTED, Obscure(crashing));
        ASSERT_EQ(S_OK, Obscure(good));
        good.Calls.clear();
        crashing.Calls.clear();
    };
    for (int i = 0; i < 100; ++i) round();  // settles the heap
    const SIZE_T before = PrivateBytes();
    for (int i = 0; i < 1000; ++i) round();
    EXPECT_LT(PrivateBytes(), before + 64 * 1024);
    EXPECT_EQ(4, count);
    EXPECT_EQ(0, good.OutstandingReferences());
}

}  // namespace
