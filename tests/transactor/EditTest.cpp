// Edit through the component's interface: the new value from the edit
// extension or, without an edit library path, from the operator in the
// value-entry dialog; the status, the value argument and the display text.
#include "dialog/Operator.h"
#include "fakes/FakeParam.h"
#include "support/ErrorInfo.h"
#include "support/ExtensionLibraries.h"
#include "support/Transactor.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

using Calls = std::vector<std::wstring>;

constexpr LONG StatusBefore = 7;

class EditTest : public testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(nullptr, Operator::FindOwnWindow(L"输入参数值")) << "no dialog is left behind";
        EXPECT_EQ(0, param.OutstandingReferences());
    }

    void UseLibrary(const wchar_t* path) { PutLibraryPath(*transactor.Get(), &IParamTransactor::put_EditLibrary, path); }

    // Edit, while the operator works whatever dialog it shows (none unless a script is given).
    void Edit(const std::function<void(Operator&)>& operatorScript = [](Operator&) {}) {
        Operator::Run(operatorScript, [&] { result = transactor->Edit(&param, &valueArgument, &status); });
        if (valueArgument != valueBefore.Get()) newValue.Reset(valueArgument);
    }

    bool ValueWritten() const { return valueArgument != valueBefore.Get(); }

    ComPtr<IParamTransactor> transactor = NewTransactor();
    FakeParam param;
    UniqueBstr valueBefore = UniqueBstr::Copy(L"the host's value");
    BSTR valueArgument = valueBefore.Get();
    UniqueBstr newValue;
    LONG status = StatusBefore;
    HRESULT result = E_UNEXPECTED;
};

TEST_F(EditTest, MissingArgumentIsRefusedBeforeAnyWindowOrExtensionCall) {
    EXPECT_EQ(E_POINTER, transactor->Edit(nullptr, &valueArgument, &status));
    EXPECT_EQ(StatusBefore, status);
    EXPECT_TRUE(param.Calls.empty());

    // Edit writes the status on every path and the value on OK: without
    // either, whatever the operator or the extension gave could not be
    // delivered. Through the dialog (no library) and through the extension;
    // a dialog shown would be left open by the empty operator script below
    // and fail the test.
    struct MissingOutArguments {
        bool value, status;
        const wchar_t* named;
    };
    const MissingOutArguments cases[] = {{true, false, L"value"}, {false, true, L"status"}, {true, true, L"status"}};
    for (const bool throughExtension : {false, true}) {
        ScriptedState* extension =
            throughExtension ? &UseScriptedLibrary(*transactor.Get(), &IParamTransactor::put_EditLibrary) : nullptr;
        for (const MissingOutArguments& missing : cases) {
            SCOPED_TRACE(testing::Message() << "extension " << throughExtension << ", value missing "
                                            << missing.value << ", status missing " << missing.status);
            status = StatusBefore;
            Operator::Run([](Operator&) {}, [&] {
                result = transactor->Edit(&param, missing.value ? nullptr : &valueArgument,
                                          missing.status ? nullptr : &status);
            });
            const std::wstring description = TakeErrorDescription();
            EXPECT_EQ(E_POINTER, result);
            EXPECT_NE(std::wstring::npos, description.find(missing.named)) << description;
            EXPECT_EQ(StatusBefore, status);
            EXPECT_FALSE(ValueWritten());
            EXPECT_TRUE(param.Calls.empty());
            if (extension) {
                EXPECT_EQ(0, extension->calls) << "the extension was not called";
            }
        }
    }
}

TEST_F(EditTest, ExtensionValueIsReturnedAndItsDisplayTextSet) {
    UseLibrary(L"ExtSucceed.dll");
    Edit();
    EXPECT_EQ(S_OK, result);
    EXPECT_EQ(0, status);
    EXPECT_EQ(L"5", newValue.View());
    EXPECT_EQ((Calls{L"SetDisplayText(Five)"}), param.Calls);
}

// No value from the extension: status 1, nothing written, no dialog either.
class NoExtensionValueTest : public EditTest, public testing::WithParamInterface<const wchar_t*> {};

TEST_P(NoExtensionValueTest, EndsWithStatusOneAndNothingWritten) {
    UseLibrary(GetParam());
    Edit();
    EXPECT_EQ(S_OK, result);
    EXPECT_EQ(1, status);
    EXPECT_FALSE(ValueWritten());
    EXPECT_TRUE(param.Calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Libraries, NoExtensionValueTest,
                         testing::Values(L"ExtRefuse.dll", L"ExtNoEntry.dll", L"NoSuchLibrary.dll",
                                         L"ExtNullPointer.dll", L"ExtDivideByZero.dll", L"ExtRaiseCustom.dll",
                                         L"ExtMsvcThrow.dll"),
                         [](const auto& info) { return "Library" + std::to_string(info.index); });

TEST_F(EditTest, ExtensionGetsTheParameterAndClearedBuffersAndMayFillThemCompletely) {
    ScriptedState& extension = UseScriptedLibrary(*transactor.Get(), &IParamTransactor::put_EditLibrary);
    SetScriptedOutput(extension.value, std::string(ExtensionBufferSize, '7'));
    SetScriptedOutput(extension.display, std::string(ExtensionBufferSize, 'D'));
    Edit();
    EXPECT_EQ(0, status);
    EXPECT_EQ(static_cast<IParam*>(&param), extension.param);
    EXPECT_TRUE(extension.valueOutClearOnEntry);
    EXPECT_TRUE(extension.displayOutClearOnEntry);
    EXPECT_EQ(std::wstring(ExtensionBufferSize, L'7'), newValue.View()) << "all 4096 bytes, no more";
    EXPECT_EQ((Calls{L"SetDisplayText(" + std::wstring(ExtensionBufferSize, L'D') + L")"}), param.Calls);
}

TEST_F(EditTest, ExtensionSucceedingWithoutWritingGivesAnEmptyValue) {
    UseScriptedLibrary(*transactor.Get(), &IParamTransactor::put_EditLibrary);
    Edit();
    EXPECT_EQ(0, status);
    EXPECT_EQ(L"", newValue.View());
    EXPECT_EQ((Calls{L"SetDisplayText()"}), param.Calls);
}

TEST_F(EditTest, ExtensionFailureWithTextsWrittenStillEndsWithStatusOne) {
    ScriptedState& extension = UseScriptedLibrary(*transactor.Get(), &IParamTransactor::put_EditLibrary);
    extension.result = -1;
    SetScriptedOutput(extension.value, std::string("9\0", 2));
    Edit();
    EXPECT_EQ(S_OK, result);
    EXPECT_EQ(1, status);
    EXPECT_FALSE(ValueWritten());
    EXPECT_TRUE(param.Calls.empty());
}

TEST_F(EditTest, FailingSetDisplayTextFailsAfterStatusAndValue) {
    UseLibrary(L"ExtSucceed.dll");
    param.Fail(L"SetDisplayText", E_ACCESSDENIED);
    Edit();
    EXPECT_EQ(E_ACCESSDENIED, result);
    EXPECT_EQ(0, status);
    EXPECT_EQ(L"5", newValue.View());
}

TEST_F(EditTest, BlankLibraryPathMeansTheDialogAndItsTypedValue) {
    UseLibrary(L"   ");
    param.InputKind = 0;
    Edit([](Operator& person) {
        HWND form = person.WaitForWindow(L"输入参数值");
        ASSERT_TRUE(form);
        Operator::Type(Operator::Control(form, L"Edit"), L"42");
        Operator::Click(Operator::Control(form, L"Button", L"确定"));
    });
    EXPECT_EQ(S_OK, result);
    EXPECT_EQ(0, status);
    EXPECT_EQ(L"42", newValue.View());
    EXPECT_EQ(L"SetDisplayText(42)", param.Calls.back());
    EXPECT_EQ(L"CheckValueText(42)", param.Calls[param.Calls.size() - 2]);
}

TEST_F(EditTest, ChosenOptionGivesItsValueAndShowsItsDisplayText) {
    param.InputKind = 1;
    param.OptionCount = 2;
    param.Options = {L"On , 1", L"Off , 0"};
    Edit([](Operator& person) {
        HWND form = person.WaitForWindow(L"输入参数值");
        ASSERT_TRUE(form);
        Operator::Click(Operator::Control(form, L"Button", L"确定"));
    });
    EXPECT_EQ(0, status);
    EXPECT_EQ(L"1", newValue.View());
    EXPECT_EQ(L"SetDisplayText(On)", param.Calls.back());
}

TEST_F(EditTest, CancelledDialogEndsWithStatusOneAndNothingWritten) {
    Edit([](Operator& person) {
        HWND form = person.WaitForWindow(L"输入参数值");
        ASSERT_TRUE(form);
        Operator::Click(Operator::Control(form, L"Button", L"取消"));
    });
    EXPECT_EQ(S_OK, result);
    EXPECT_EQ(1, status);
    EXPECT_FALSE(ValueWritten());
    EXPECT_EQ((Calls{L"GetInputKind", L"GetParamName", L"GetMinValueText", L"GetMaxValueText"}), param.Calls);
}

TEST_F(EditTest, DialogErrorReachesTheHostWithNothingWritten) {
    param.Fail(L"GetParamName", E_ACCESSDENIED);
    Edit();
    EXPECT_EQ(E_ACCESSDENIED, result);
    EXPECT_EQ(StatusBefore, status);
    EXPECT_FALSE(ValueWritten());
}

// The form prepared so far is destroyed (TearDown) and the parameter released.
TEST_F(EditTest, HostFaultingWhileTheDialogIsPreparedIsUnexpectedAndLeavesNoForm) {
    param.InputKind = 1;
    param.OptionCount = 2;
    param.Crash(L"GetOptionText");
    Edit();
    EXPECT_EQ(E_UNEXPECTED, result);
    EXPECT_EQ(StatusBefore, status);
    EXPECT_FALSE(ValueWritten());
}

}  // namespace
