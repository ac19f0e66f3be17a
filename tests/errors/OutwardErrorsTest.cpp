// The outward half of error reporting: what an exception or a fault escaping
// a method body becomes, as the caller sees it in the HRESULT and the
// thread's error information.
#include "contracts/OvixParamTransactor_TLB.h"
#include "contracts/Vantrel_TLB.h"
#include "fakes/Fault.h"
#include "errors/HResultFromException.h"
#include "errors/HostResult.h"
#include "errors/MethodGuard.h"
#include "errors/OleErrors.h"
#include "support/ErrorInfo.h"
#include "util/AnsiText.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <utility>

namespace {

HRESULT Translate(std::exception_ptr error, const wchar_t* helpFile = L"") {
    return HResultFromException(error, __uuidof(IParamTransactor), ParamTransactorProgIdW, helpFile);
}

// The method guard as the transactor's methods run it.
template <typename Body>
HRESULT Guard(Body&& body) {
    return MethodGuard(__uuidof(IParamTransactor), ParamTransactorProgIdW, body);
}

void ExpectOurErrorInfo(const std::wstring& description, DWORD helpContext = 0) {
    const ThreadErrorInfo info = TakeThreadErrorInfo();
    EXPECT_TRUE(info.present);
    EXPECT_EQ(__uuidof(IParamTransactor), info.interfaceId);
    EXPECT_EQ(L"OvixParamTransactor.ParamTransactor", info.source);
    EXPECT_EQ(description, info.description);
    EXPECT_EQ(L"", info.helpFile);
    EXPECT_EQ(helpContext, info.helpContext);
}

TEST(HResultFromException, SystemErrorsPassTheirNegativeCodeOn) {
    EXPECT_EQ(E_FAIL, Translate(std::make_exception_ptr(EOleException("Range exceeded. ", E_FAIL, "Host",
                                                                       "host.hlp", 12))));
    // The host's source and help file stay behind; its help context is kept.
    ExpectOurErrorInfo(L"Range exceeded", 12);
    EXPECT_EQ(DISP_E_BADINDEX, Translate(std::make_exception_ptr(EOleSysError("", DISP_E_BADINDEX))));
    ExpectOurErrorInfo(WideFromAnsi(EOleSysError("", DISP_E_BADINDEX).Message()));
}

TEST(HResultFromException, EverythingElseIsUnexpected) {
    EXPECT_EQ(E_UNEXPECTED, Translate(std::make_exception_ptr(EOleSysError("not negative", S_FALSE))));
    ExpectOurErrorInfo(L"not negative");
    EXPECT_EQ(E_UNEXPECTED, Translate(std::make_exception_ptr(Exception("'a' is not a valid integer value", 3))));
    ExpectOurErrorInfo(L"'a' is not a valid integer value", 3);
    EXPECT_EQ(E_UNEXPECTED, Translate(std::make_exception_ptr(ESafecallException())));
    ExpectOurErrorInfo(L"Exception in safecall method");
    EXPECT_EQ(E_UNEXPECTED, Translate(std::make_exception_ptr(Exception("\xD6\xB5\xCE\xDE\xD0\xA7"))));
    ExpectOurErrorInfo(L"\x503C\x65E0\x6548");  // 值无效, from GBK
    EXPECT_EQ(E_UNEXPECTED, Translate(std::make_exception_ptr(std::bad_alloc())));
    ExpectOurErrorInfo(L"Out of memory");
    EXPECT_EQ(E_UNEXPECTED, Translate(std::make_exception_ptr(42)));
    ExpectOurErrorInfo(L"");
}

TEST(HResultFromException, HelpFileAndSourceOnlyWhenGiven) {
    HResultFromException(std::make_exception_ptr(Exception("x")), __uuidof(IParamTransactor), L"", L"a.hlp");
    const ThreadErrorInfo info = TakeThreadErrorInfo();
    EXPECT_EQ(L"", info.source);
    EXPECT_EQ(L"a.hlp", info.helpFile);
}

void DivideByZero() {
    volatile int dividend = 1, divisor = 0;
    volatile int quotient = dividend / divisor;
    (void)quotient;
}

TEST(MethodGuard, CompletedBodyIsSuccess) {
    int runs = 0;
    EXPECT_EQ(S_OK, Guard([&] { ++runs; }));
    EXPECT_EQ(1, runs);
}

TEST(MethodGuard, EscapingExceptionBecomesResultAndErrorInfo) {
    EXPECT_EQ(E_UNEXPECTED, Guard([] { throw Exception("'a' is not a valid integer value"); }));
    ExpectOurErrorInfo(L"'a' is not a valid integer value");
    EXPECT_EQ(E_FAIL, Guard([] { CheckHostResult(E_FAIL); }));
}

TEST(MethodGuard, FaultBecomesUnexpectedAndLeavesErrorInfoAlone) {
    const std::pair<const char*, std::function<void()>> faults[] = {
        {"access violation", WriteThroughNullPointer},
        {"division by zero", DivideByZero},
        {"raised exception", [] { RaiseException(0xE0C0FFEE, 0, 0, nullptr); }},
        {"illegal instruction", [] { asm volatile("ud2"); }},
        {"privileged instruction", [] { asm volatile("hlt"); }},
    };
    for (const auto& [name, fault] : faults) {
        SCOPED_TRACE(name);
        SetThreadErrorInfo(L"Host", L"before the fault");
        EXPECT_EQ(E_UNEXPECTED, Guard(fault));
        const ThreadErrorInfo info = TakeThreadErrorInfo();
        EXPECT_EQ(L"Host", info.source);
        EXPECT_EQ(L"before the fault", info.description);
    }
}

TEST(MethodGuard, LanguageExceptionsStillWorkAfterAThousandFaults) {
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(E_UNEXPECTED, Guard(WriteThroughNullPointer));
    EXPECT_EQ(E_ABORT, Guard([] { throw EOleSysError("stop", E_ABORT); }));
    ExpectOurErrorInfo(L"stop");
    bool caught = false;
    try {
        throw Exception("inside");
    } catch (const Exception&) {
        caught = true;
    }
    EXPECT_TRUE(caught);
}

}  // namespace
