// Hostile extensions behind an operation: whatever the obscure extension does
// inside its call, Obscure goes on with the host's own text and succeeds, and
// the same object keeps serving calls.
#include "fakes/FakeParam.h"
#include "support/ErrorInfo.h"
#include "support/ExtensionLibraries.h"
#include "support/Transactor.h"
#include "util/UniqueVariant.h"

#include <gtest/gtest.h>

using Microsoft::WRL::ComPtr;

namespace {

struct Obscured {
    HRESULT result;
    LONG count, status;
};

Obscured ObscureThrough(IParamTransactor& transactor, FakeParam& host) {
    UniqueVariant data;
    Obscured obscured{E_PENDING, -1, -1};
    obscured.result = transactor.Obscure(&host, &data.Get(), &obscured.count, &obscured.status);
    return obscured;
}

const wchar_t* const HostileExtensions[] = {L"ExtNullPointer.dll", L"ExtDivideByZero.dll", L"ExtRaiseCustom.dll",
                                            L"ExtMsvcThrow.dll", L"ExtClobberRegisters.dll"};

TEST(HostileExtension, ObscureFallsBackToTheHostsTextAThousandTimesOver) {
    for (const wchar_t* library : HostileExtensions) {
        SCOPED_TRACE(library);
        ComPtr<IParamTransactor> transactor = NewTransactor();
        PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ObscureLibrary, library);
        SetThreadErrorInfo(L"Host", L"untouched");
        for (int i = 0; i < 1000; ++i) {
            FakeParam host;
            host.ObscureText = L"0917";
            const Obscured obscured = ObscureThrough(*transactor.Get(), host);
            ASSERT_EQ(S_OK, obscured.result);
            ASSERT_EQ(4, obscured.count);
            ASSERT_EQ(0, obscured.status);
            ASSERT_EQ(L"GetObscureText", host.CallNames().back());  // the extension was tried first
            ASSERT_EQ(0, host.OutstandingReferences());
        }
        EXPECT_EQ(L"untouched", TakeErrorDescription());
    }
}

TEST(HostileExtension, WrongCallingConventionStillDeliversItsDigits) {
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ObscureLibrary, L"ExtWrongConvention.dll");
    for (int i = 0; i < 1000; ++i) {
        FakeParam host;
        const Obscured obscured = ObscureThrough(*transactor.Get(), host);
        ASSERT_EQ(S_OK, obscured.result);
        ASSERT_EQ(2, obscured.count);  // "42" from the extension
        ASSERT_EQ(L"GetObscureIntA", host.CallNames().back());
    }
}

}  // namespace
