// The inward half of error reporting: the exception classes' messages, and a
// failing host result becoming an exception with the host's error text.
#include "errors/HostResult.h"
#include "errors/OleErrors.h"
#include "errors/TrimTrailingPunctuation.h"
#include "support/ErrorInfo.h"

#include <gtest/gtest.h>

namespace {

// The system's own text for `code`, less trailing line breaks, blanks and periods.
std::string SystemText(HRESULT code) {
    char buffer[256];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(code), 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    text.erase(text.find_last_not_of("\r\n\t .") + 1);
    return text;
}

// No system text exists for this code.
constexpr HRESULT CodeWithoutText = static_cast<HRESULT>(0x8ABC0123);

TEST(TrimTrailingPunctuation, DropsTrailingBlanksControlsAndPeriods) {
    EXPECT_EQ("Value out of range", TrimTrailingPunctuation("Value out of range. \r\n"));
    EXPECT_EQ("", TrimTrailingPunctuation(" . .\t"));
    EXPECT_EQ("", TrimTrailingPunctuation(""));
    EXPECT_EQ(" a.b", TrimTrailingPunctuation(" a.b"));
}

TEST(TrimTrailingPunctuation, NeverSplitsADoubleByteCharacter) {
    // GBK: the ideographic full stop A1 A3 is one character, not punctuation here.
    EXPECT_EQ("\xB2\xCE\xCA\xFD\xA1\xA3", TrimTrailingPunctuation("\xB2\xCE\xCA\xFD\xA1\xA3. "));
    // A lead byte and the byte after it form one character, kept whole even
    // when that byte is a period or a blank.
    EXPECT_EQ("ab\x81.", TrimTrailingPunctuation("ab\x81."));
    EXPECT_EQ("ab\x81 ", TrimTrailingPunctuation("ab\x81 "));
}

TEST(OleErrors, EmptyMessageBecomesTheSystemTextOrTheCode) {
    EXPECT_EQ(SystemText(E_FAIL), EOleSysError("", E_FAIL).Message());
    EXPECT_NE("", EOleSysError("", E_FAIL).Message());
    EXPECT_EQ("OLE error 8ABC0123", EOleSysError("", CodeWithoutText).Message());
    EXPECT_EQ("OLE error 0004ABCD", EOleSysError("", 0x0004ABCD).Message());
    // The system's text for this code has an insert, and there is no argument for it.
    EXPECT_EQ("OLE error 800700C1", EOleSysError("", HRESULT_FROM_WIN32(ERROR_BAD_EXE_FORMAT)).Message());
    const EOleSysError given("Type library not found", TYPE_E_CANTLOADLIBRARY, 5);
    EXPECT_EQ("Type library not found", given.Message());
    EXPECT_EQ(TYPE_E_CANTLOADLIBRARY, given.ErrorCode());
    EXPECT_EQ(5, given.HelpContext());
}

TEST(OleErrors, HostMessageIsTrimmedBeforeItCounts) {
    const EOleException trimmed("Range exceeded. ", E_FAIL, "Host", "host.hlp", 12);
    EXPECT_EQ("Range exceeded", trimmed.Message());
    EXPECT_EQ(E_FAIL, trimmed.ErrorCode());
    EXPECT_EQ("Host", trimmed.Source());
    EXPECT_EQ("host.hlp", trimmed.HelpFile());
    EXPECT_EQ(12, trimmed.HelpContext());
    EXPECT_EQ(SystemText(E_FAIL), EOleException(" . ", E_FAIL, "", "", 0).Message());
    EXPECT_EQ("OLE error 8ABC0123", EOleException("..", CodeWithoutText, "", "", 0).Message());
}

TEST(OleErrors, SafecallExceptionSaysSo) {
    EXPECT_EQ("Exception in safecall method", ESafecallException().Message());
}

TEST(CheckHostResult, SuccessCodesRaiseNothingAndLeaveErrorInfo) {
    SetThreadErrorInfo(L"Host", L"left alone");
    EXPECT_NO_THROW(CheckHostResult(S_OK));
    EXPECT_NO_THROW(CheckHostResult(S_FALSE));
    EXPECT_NO_THROW(CheckHostResult(0x7FFFFFFF));
    EXPECT_EQ(L"left alone", TakeThreadErrorInfo().description);
}

TEST(CheckHostResult, FailureRaisesTheHostErrorAndConsumesIt) {
    SetThreadErrorInfo(L"Host", L"\x53C2\x6570\x8D8A\x754C. ");  // 参数越界
    try {
        CheckHostResult(E_FAIL);
        FAIL() << "no exception";
    } catch (const EOleException& error) {
        EXPECT_EQ("\xB2\xCE\xCA\xFD\xD4\xBD\xBD\xE7", error.Message());  // GBK, trimmed
        EXPECT_EQ(E_FAIL, error.ErrorCode());
        EXPECT_EQ("Host", error.Source());
        EXPECT_EQ("host.hlp", error.HelpFile());
        EXPECT_EQ(12, error.HelpContext());
    }
    EXPECT_FALSE(TakeThreadErrorInfo().present);
}

TEST(CheckHostResult, FailureWithoutErrorInfoTakesTheSystemText) {
    TakeThreadErrorInfo();
    try {
        CheckHostResult(E_FAIL);
        FAIL() << "no exception";
    } catch (const EOleException& error) {
        EXPECT_EQ(SystemText(E_FAIL), error.Message());
        EXPECT_EQ("", error.Source());
        EXPECT_EQ(0, error.HelpContext());
    }
    try {
        CheckHostResult(CodeWithoutText);
        FAIL() << "no exception";
    } catch (const EOleException& error) {
        EXPECT_EQ("OLE error 8ABC0123", error.Message());
    }
}

TEST(CheckHostResult, WithoutTheHookFailureIsASafecallException) {
    RemoveHostResultHook();
    EXPECT_THROW(CheckHostResult(E_FAIL), ESafecallException);
    EXPECT_NO_THROW(CheckHostResult(S_FALSE));
    InstallHostResultHook();
    EXPECT_THROW(CheckHostResult(E_FAIL), EOleException);
}

TEST(CheckPlatformResult, FailureRaisesTheSystemError) {
    EXPECT_NO_THROW(CheckPlatformResult(S_FALSE));
    try {
        CheckPlatformResult(TYPE_E_CANTLOADLIBRARY);
        FAIL() << "no exception";
    } catch (const EOleSysError& error) {
        EXPECT_EQ(TYPE_E_CANTLOADLIBRARY, error.ErrorCode());
        EXPECT_EQ(EOleSysError("", TYPE_E_CANTLOADLIBRARY).Message(), error.Message());
    }
}

}  // namespace
