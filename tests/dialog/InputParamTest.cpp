// The value-entry dialog, used by an operator under the virtual display: what
// it shows, what it accepts, what it returns and what it asks the host.
#include "BeepCounter.h"
#include "Operator.h"
#include "util/WindowHandles.h"
#include "dialog/dgInputParam.h"
#include "fakes/FakeParam.h"
#include "errors/HostResult.h"
#include "errors/OleErrors.h"
#include "util/AnsiText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::wstring>;

constexpr wchar_t FormCaption[] = L"输入参数值";
constexpr wchar_t RejectionCaption[] = L"注意";
constexpr wchar_t RejectionText[] = L"输入的参数值无效，请重新输入！";

// The dialog's controls, found as an operator finds them.
struct Dialog {
    explicit Dialog(HWND window)
        : form(window),
          prompt(Operator::Control(window, L"Static")),
          edit(Operator::Control(window, L"Edit")),
          list(Operator::Control(window, L"ComboBox")),
          ok(Operator::Control(window, L"Button", L"确定")),
          cancel(Operator::Control(window, L"Button", L"取消")) {}
    HWND form, prompt, edit, list, ok, cancel;

    std::vector<std::wstring> ListItems() const {
        std::vector<std::wstring> items;
        const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[256] = {};
            SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            items.push_back(item);
        }
        return items;
    }
    LRESULT ListSelection() const { return SendMessageW(list, CB_GETCURSEL, 0, 0); }
    DWORD EditSelection() const { return static_cast<DWORD>(SendMessageW(edit, EM_GETSEL, 0, 0)); }
    // The controls that Tab visits, starting after `from`.
    std::vector<HWND> TabCycle(HWND from) const {
        std::vector<HWND> cycle;
        for (HWND next = GetNextDlgTabItem(form, from, FALSE); next != from && cycle.size() < 8;
             next = GetNextDlgTabItem(form, next, FALSE))
            cycle.push_back(next);
        return cycle;
    }
};

// The calls of one method, with their arguments.
Calls CallsOf(const FakeParam& param, const std::wstring& name) {
    Calls calls;
    for (const std::wstring& call : param.Calls)
        if (call.substr(0, call.find(L'(')) == name) calls.push_back(call);
    return calls;
}

LONG Style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

testing::AssertionResult HasBounds(HWND control, LONG left, LONG top, LONG width, LONG height) {
    const RECT bounds = Operator::BoundsInParent(control);
    if (bounds.left == left && bounds.top == top && bounds.right - bounds.left == width &&
        bounds.bottom - bounds.top == height)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "left " << bounds.left << ", top " << bounds.top << ", width "
                                       << bounds.right - bounds.left << ", height " << bounds.bottom - bounds.top;
}

class InputParamTest : public testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(nullptr, Operator::FindOwnWindow(FormCaption)) << "no dialog is left behind";
        EXPECT_EQ(0, param.OutstandingReferences());
    }

    // InputParamValue, while the operator works the dialog.
    bool Enter(const std::function<void(Operator&)>& script) {
        bool accepted = false;
        Operator::Run(script, [&] { accepted = InputParamValue(&param, value, displayText); });
        return accepted;
    }
    // Waits for the dialog and runs `steps` on it.
    bool EnterInDialog(const std::function<void(Operator&, const Dialog&)>& steps) {
        return Enter([&](Operator& person) {
            HWND form = person.WaitForWindow(FormCaption);
            if (form) steps(person, Dialog(form));
        });
    }

    void ExpectUntouched() {
        EXPECT_EQ("old", value);
        EXPECT_EQ("old display", displayText);
    }

    FakeParam param;
    std::string value = "old";
    std::string displayText = "old display";
};

TEST_F(InputParamTest, FreeTextFormShowsItsDesignAndCloseBoxCancels) {
    param.InputKind = 0;
    param.ParamName = L"Rate";
    param.MinValueText = L"0";
    param.MaxValueText = L"255";
    EXPECT_FALSE(EnterInDialog([](Operator& person, const Dialog& dialog) {
        EXPECT_EQ(nullptr, GetWindow(dialog.form, GW_OWNER));
        const LONG style = Style(dialog.form);
        EXPECT_EQ(LONG(WS_CAPTION | WS_SYSMENU), style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        RECT client, frame;
        GetClientRect(dialog.form, &client);
        GetWindowRect(dialog.form, &frame);
        EXPECT_EQ(296, client.right);
        EXPECT_EQ(186, client.bottom);
        EXPECT_LE(std::abs(frame.left + frame.right - GetSystemMetrics(SM_CXSCREEN)), 1) << "centred";
        EXPECT_LE(std::abs(frame.top + frame.bottom - GetSystemMetrics(SM_CYSCREEN)), 1) << "centred";

        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog.edit, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_STREQ(L"宋体", font.lfFaceName);
        EXPECT_EQ(GB2312_CHARSET, font.lfCharSet);
        EXPECT_EQ(-12, font.lfHeight);

        EXPECT_EQ(L"Rate  (取值范围: 0 ~ 255)", Operator::Text(dialog.prompt));
        EXPECT_TRUE(HasBounds(dialog.edit, 32, 72, 241, 20));
        EXPECT_TRUE(HasBounds(dialog.list, 32, 72, 233, 20));
        EXPECT_TRUE(HasBounds(dialog.ok, 56, 136, 75, 25));
        EXPECT_TRUE(HasBounds(dialog.cancel, 176, 136, 75, 25));
        const RECT prompt = Operator::BoundsInParent(dialog.prompt);
        EXPECT_EQ(32, prompt.left);
        EXPECT_EQ(40, prompt.top);

        EXPECT_TRUE(IsWindowVisible(dialog.edit));
        EXPECT_FALSE(IsWindowVisible(dialog.list));
        EXPECT_EQ(dialog.edit, person.Focus());
        EXPECT_EQ((std::vector<HWND>{dialog.ok, dialog.cancel}), dialog.TabCycle(dialog.edit));
        EXPECT_EQ(BS_DEFPUSHBUTTON, Style(dialog.ok) & BS_TYPEMASK);
        person.Screenshot(dialog.form, "dialog-free-text.png");
        Operator::CloseBox(dialog.form);
    }));
    ExpectUntouched();
    EXPECT_EQ((Calls{L"GetInputKind", L"GetParamName", L"GetMinValueText", L"GetMaxValueText"}), param.Calls);
}

TEST_F(InputParamTest, ListFormShowsTheOptionsAndOkTakesTheFirst) {
    param.InputKind = 1;
    param.ParamName = L"Switch";
    param.OptionCount = 2;
    param.Options = {L"On , 1", L"Off , 0"};
    EXPECT_TRUE(EnterInDialog([](Operator& person, const Dialog& dialog) {
        EXPECT_EQ(L"Switch", Operator::Text(dialog.prompt));
        EXPECT_FALSE(IsWindowVisible(dialog.edit));
        EXPECT_TRUE(IsWindowVisible(dialog.list));
        EXPECT_EQ(CBS_DROPDOWNLIST, Style(dialog.list) & 3);
        EXPECT_EQ((std::vector<std::wstring>{L"On", L"Off"}), dialog.ListItems());
        EXPECT_EQ(0, dialog.ListSelection());
        EXPECT_EQ(dialog.ok, person.Focus());
        EXPECT_EQ((std::vector<HWND>{dialog.cancel, dialog.list}), dialog.TabCycle(dialog.ok));
        person.Screenshot(dialog.form, "dialog-list.png");
        Operator::Click(dialog.ok);
    }));
    EXPECT_EQ("1", value);
    EXPECT_EQ("On", displayText);
    EXPECT_EQ((Calls{L"GetInputKind", L"GetParamName", L"GetOptionCount", L"GetOptionCount", L"GetOptionText(0)",
                     L"GetOptionText(1)"}),
              param.Calls);
}

struct OptionCase {
    const char* name;
    std::vector<std::wstring> options;
    std::vector<LONG> counts;  // the host's first and second option count
    bool failOptionText;
    std::vector<std::wstring> items;
    int downPresses;
    const char* value;
    const char* displayText;
};

class OptionListTest : public InputParamTest, public testing::WithParamInterface<OptionCase> {};

TEST_P(OptionListTest, OptionsAreCutAtTheCommaAndTheChosenOneReturned) {
    const OptionCase& option = GetParam();
    param.InputKind = 1;
    param.Options = option.options;
    param.OptionCountAnswers = option.counts;
    if (option.failOptionText) param.Fail(L"GetOptionText", E_FAIL);
    EXPECT_TRUE(EnterInDialog([&](Operator&, const Dialog& dialog) {
        EXPECT_EQ(option.items, dialog.ListItems());
        for (int i = 0; i < option.downPresses; ++i) Operator::PressKey(dialog.list, VK_DOWN);
        Operator::Click(dialog.ok);
    }));
    EXPECT_EQ(option.value, value);
    EXPECT_EQ(option.displayText, displayText);
    Calls asked;
    for (size_t i = 0; i < option.items.size(); ++i) asked.push_back(L"GetOptionText(" + std::to_wstring(i) + L")");
    EXPECT_EQ(asked, Calls(param.Calls.begin() + 4, param.Calls.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionListTest,
    testing::Values(OptionCase{"SecondOfTwo", {L"On , 1", L"Off , 0"}, {2, 2}, false, {L"On", L"Off"}, 1, "0", "Off"},
                    OptionCase{"NoComma", {L"Auto", L"A , B , C"}, {2, 2}, false, {L"Auto", L"A"}, 0, "", "Auto"},
                    OptionCase{"TwoCommas", {L"Auto", L"A , B , C"}, {2, 2}, false, {L"Auto", L"A"}, 1, "B", "A"},
                    OptionCase{"FailingOptionText", {L"On , 1", L"Off , 0"}, {2, 2}, true, {L"", L""}, 1, "", ""},
                    OptionCase{"SecondCountLarger", {L"a,1", L"b,2", L"c,3", L"d,4", L"e,5"}, {3, 5}, false,
                               {L"a", L"b", L"c"}, 2, "3", "c"},
                    OptionCase{"SecondCountSmaller", {L"a,1", L"b,2", L"c,3"}, {3, 1}, false, {L"a"}, 1, "1", "a"}),
    [](const auto& info) { return std::string(info.param.name); });

struct NothingToChooseCase {
    const char* name;
    LONG inputKind;
    const char* screenshot;
};

class NothingToChooseTest : public InputParamTest, public testing::WithParamInterface<NothingToChooseCase> {};

// OK with no option, or with no input control at all, yields no value.
TEST_P(NothingToChooseTest, OkYieldsNoValue) {
    param.InputKind = GetParam().inputKind;
    EXPECT_FALSE(EnterInDialog([this](Operator& person, const Dialog& dialog) {
        EXPECT_EQ(dialog.ok, person.Focus());
        if (GetParam().screenshot) person.Screenshot(dialog.form, GetParam().screenshot);
        Operator::Click(dialog.ok);
    }));
    ExpectUntouched();
}

INSTANTIATE_TEST_SUITE_P(Kinds, NothingToChooseTest,
                         testing::Values(NothingToChooseCase{"EmptyList", 1, nullptr},
                                         NothingToChooseCase{"KindThree", 3, "dialog-no-entry.png"},
                                         NothingToChooseCase{"NegativeKind", -1, nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InputParamTest, NoInputControlForOtherKindsAndThePromptKeepsItsDesignCaption) {
    param.InputKind = 3;
    EXPECT_FALSE(EnterInDialog([](Operator&, const Dialog& dialog) {
        EXPECT_EQ(L"Param name:", Operator::Text(dialog.prompt));
        EXPECT_FALSE(IsWindowVisible(dialog.edit));
        EXPECT_FALSE(IsWindowVisible(dialog.list));
        Operator::Click(dialog.cancel);
    }));
    EXPECT_EQ((Calls{L"GetInputKind"}), param.Calls);
}

TEST_F(InputParamTest, EnterAcceptsTheTextExactlyAsTyped) {
    param.InputKind = 2;
    param.DataType = 2;
    param.ParamName = L"Rate";
    EXPECT_TRUE(EnterInDialog([](Operator&, const Dialog& dialog) {
        EXPECT_EQ(L"Rate  (取值范围:  ~ )", Operator::Text(dialog.prompt));
        Operator::Type(dialog.edit, L" 4.2 ");
        Operator::PressKey(dialog.edit, VK_RETURN);
    }));
    EXPECT_EQ(" 4.2 ", value);
    EXPECT_EQ(" 4.2 ", displayText);
    EXPECT_EQ(L"CheckValueText( 4.2 )", param.Calls.back());
}

TEST_F(InputParamTest, PastedTextBeyondThePlatformsDefaultLimitIsKeptWhole) {
    param.DataType = 2;
    const std::wstring pasted(40000, L'7');
    EXPECT_TRUE(EnterInDialog([&](Operator&, const Dialog& dialog) {
        SendMessageW(dialog.edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
        Operator::Click(dialog.ok);
    }));
    EXPECT_EQ(40000u, value.size());
    EXPECT_EQ(std::string::npos, value.find_first_not_of('7'));
}

TEST_F(InputParamTest, EmptyTextIsRejectedWithoutAskingTheHost) {
    EXPECT_TRUE(EnterInDialog([](Operator& person, const Dialog& dialog) {
        Operator::Click(dialog.ok);
        HWND box = person.WaitForWindow(RejectionCaption);
        ASSERT_TRUE(box);
        EXPECT_EQ(RejectionText, Operator::MessageText(box));
        EXPECT_EQ(dialog.form, GetWindow(box, GW_OWNER));
        EXPECT_EQ(LoadIconA(nullptr, IDI_HAND), Operator::MessageIcon(box)) << "the stop icon";
        person.Dismiss(box);
        Operator::Type(dialog.edit, L"42");
        Operator::Click(dialog.ok);
    }));
    EXPECT_EQ("42", value);
    EXPECT_EQ("42", displayText);
    EXPECT_EQ((Calls{L"CheckValueText(42)"}), CallsOf(param, L"CheckValueText"));
}

TEST_F(InputParamTest, RefusedTextIsSelectedForCorrectionAndAskedAgain) {
    int answers = 0;
    param.AcceptValue = [&](const std::wstring&) { return ++answers == 3; };
    EXPECT_TRUE(EnterInDialog([](Operator& person, const Dialog& dialog) {
        Operator::Type(dialog.edit, L"300");
        for (int attempt = 0; attempt < 2; ++attempt) {
            Operator::Click(dialog.ok);
            HWND box = person.WaitForWindow(RejectionCaption);
            ASSERT_TRUE(box);
            person.Dismiss(box);
            person.Sync(dialog.form);
            EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, 3)), dialog.EditSelection()) << "the whole text is selected";
            EXPECT_EQ(dialog.edit, person.Focus());
            EXPECT_TRUE(IsWindowEnabled(dialog.form));
        }
        Operator::Type(dialog.edit, L"25");  // replaces the selected text
        Operator::Click(dialog.ok);
    }));
    EXPECT_EQ("25", value);
    EXPECT_EQ((Calls{L"CheckValueText(300)", L"CheckValueText(300)", L"CheckValueText(25)"}),
              CallsOf(param, L"CheckValueText"));
}

class KeyFilterTest : public InputParamTest, public testing::WithParamInterface<LONG> {};

TEST_P(KeyFilterTest, DigitOnlyDataTypesDropOtherKeysWithABeep) {
    const bool digitsOnly = GetParam() == 0 || GetParam() == 1 || GetParam() == 5;
    param.DataType = GetParam();
    BeepCounter beeps;
    ASSERT_TRUE(beeps.Installed());
    EXPECT_FALSE(EnterInDialog([&](Operator& person, const Dialog& dialog) {
        Operator::Type(dialog.edit, L"12a");
        EXPECT_EQ(digitsOnly ? L"12" : L"12a", Operator::Text(dialog.edit));
        EXPECT_EQ(digitsOnly ? 1 : 0, beeps.Take());
        Operator::Type(dialog.edit, L"-. \x1b\x16");  // minus, full stop, space, Escape, Ctrl+V
        EXPECT_EQ(digitsOnly ? 5 : 0, beeps.Take());
        Operator::Type(dialog.edit, L"\b");
        EXPECT_EQ(digitsOnly ? L"1" : L"12a-.", Operator::Text(dialog.edit));
        EXPECT_EQ(0, beeps.Take());
        // Escape pressed as a key, through the dialog manager, reaches the
        // key handler too, and the dialog stays open.
        Operator::PressKey(dialog.edit, VK_ESCAPE);
        Operator::TypeLater(dialog.edit, L'3');  // handled after the Escape key
        EXPECT_TRUE(person.WaitUntil([&] { return Operator::Text(dialog.edit).ends_with(L"3"); }));
        EXPECT_EQ(digitsOnly ? 1 : 0, beeps.Take());
        EXPECT_TRUE(IsWindowVisible(dialog.form));
        Operator::CloseBox(dialog.form);
    }));
    EXPECT_EQ(11u, CallsOf(param, L"GetDataType").size())
        << "the data type is asked for every key";
}

INSTANTIATE_TEST_SUITE_P(DataTypes, KeyFilterTest, testing::Values(0, 1, 5, 2, 3, 4, 6, -1),
                         [](const auto& info) { return "Type" + std::to_string(info.index); });

// The message that the host's failure raises, as the component reports it.
std::wstring HostFailureMessage(FakeParam& param) {
    LONG type = 0;
    try {
        CheckHostResult(param.GetDataType(&type));
    } catch (const Exception& error) {
        return WideFromAnsi(error.Message());
    }
    return L"(no error)";
}

TEST_F(InputParamTest, FailingDataTypeIsReportedAndTheKeyDropped) {
    param.DataType = 2;
    param.Fail(L"GetDataType", E_FAIL, L"No data type for this parameter");
    const std::wstring expected = HostFailureMessage(param);
    EXPECT_FALSE(EnterInDialog([&](Operator& person, const Dialog& dialog) {
        Operator::TypeLater(dialog.edit, L'5');
        HWND box = person.WaitForWindow(L"input_param_test");
        ASSERT_TRUE(box);
        EXPECT_EQ(expected, Operator::MessageText(box));
        person.Dismiss(box);
        person.Sync(dialog.form);
        EXPECT_EQ(L"", Operator::Text(dialog.edit));
        Operator::CloseBox(dialog.form);
    }));
}

TEST_F(InputParamTest, HostFaultingInAHandlerIsReportedAndTheDialogStaysOpen) {
    param.Crash(L"GetDataType");
    param.Crash(L"CheckValueText");
    EXPECT_FALSE(EnterInDialog([&](Operator& person, const Dialog& dialog) {
        Operator::TypeLater(dialog.edit, L'5');
        HWND box = person.WaitForWindow(L"input_param_test");
        ASSERT_TRUE(box);
        EXPECT_EQ(L"Processor fault C0000005", Operator::MessageText(box));
        person.Dismiss(box);
        person.Sync(dialog.form);
        EXPECT_EQ(L"", Operator::Text(dialog.edit));
        SetWindowTextW(dialog.edit, L"7");
        Operator::Click(dialog.ok);
        box = person.WaitForWindow(L"input_param_test");
        ASSERT_TRUE(box);
        person.Dismiss(box);
        person.Sync(dialog.form);
        EXPECT_TRUE(IsWindowVisible(dialog.form));
        Operator::CloseBox(dialog.form);
    }));
    ExpectUntouched();
}

class CancelTest : public InputParamTest, public testing::WithParamInterface<bool> {};

// Escape closes nothing; Cancel and the close box end with no value.
TEST_P(CancelTest, CancelOrCloseBoxLeavesTheOutputsUntouched) {
    const bool useCloseBox = GetParam();
    param.DataType = 2;
    EXPECT_FALSE(EnterInDialog([&](Operator& person, const Dialog& dialog) {
        Operator::PressKey(dialog.edit, VK_ESCAPE);
        Operator::TypeLater(dialog.edit, L'5');  // handled after the Escape key
        EXPECT_TRUE(person.WaitUntil([&] { return Operator::Text(dialog.edit) == L"5"; }));
        EXPECT_TRUE(IsWindowVisible(dialog.form));
        if (useCloseBox)
            Operator::CloseBox(dialog.form);
        else
            Operator::Click(dialog.cancel);
    }));
    ExpectUntouched();
    EXPECT_EQ((Calls{L"GetInputKind", L"GetParamName", L"GetMinValueText", L"GetMaxValueText", L"GetDataType",
                     L"GetDataType"}),
              param.CallNames())
        << "the data type asked for the Escape key and for 5";
}

INSTANTIATE_TEST_SUITE_P(Closes, CancelTest, testing::Bool(),
                         [](const auto& info) { return info.param ? "CloseBox" : "CancelButton"; });

struct HostFailureCase {
    const char* name;
    LONG inputKind;
    const wchar_t* failing;
};

class HostFailureTest : public InputParamTest, public testing::WithParamInterface<HostFailureCase> {};

TEST_P(HostFailureTest, FailingHostCallRaisesWithoutShowingTheDialog) {
    param.InputKind = GetParam().inputKind;
    param.Fail(GetParam().failing, E_ACCESSDENIED);
    Operator::Run([](Operator&) {}, [&] {
        try {
            InputParamValue(&param, value, displayText);
            ADD_FAILURE() << "no error raised";
        } catch (const EOleSysError& error) {
            EXPECT_EQ(E_ACCESSDENIED, error.ErrorCode());
        }
    });
    ExpectUntouched();
    EXPECT_EQ(GetParam().failing, param.CallNames().back());
}

INSTANTIATE_TEST_SUITE_P(Calls, HostFailureTest,
                         testing::Values(HostFailureCase{"InputKind", 0, L"GetInputKind"},
                                         HostFailureCase{"ParamName", 0, L"GetParamName"},
                                         HostFailureCase{"MinValueText", 2, L"GetMinValueText"},
                                         HostFailureCase{"MaxValueText", 0, L"GetMaxValueText"},
                                         HostFailureCase{"ListParamName", 1, L"GetParamName"},
                                         HostFailureCase{"OptionCount", 1, L"GetOptionCount"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InputParamTest, NegativeOptionCountIsARangeError) {
    param.InputKind = 1;
    param.OptionCount = -1;
    Operator::Run([](Operator&) {}, [&] { EXPECT_THROW(InputParamValue(&param, value, displayText), ERangeError); });
    ExpectUntouched();
}

// While the dialog is open the thread's other windows take no input; after
// it the one that was active is active again.
TEST_F(InputParamTest, OtherWindowsOfTheThreadAreDisabledWhileItIsOpen) {
    auto topLevel = [](DWORD style) {
        return UniqueWindow(CreateWindowExW(0, L"Static", L"host", WS_POPUP | style, 0, 0, 100, 100, nullptr, nullptr,
                                            nullptr, nullptr));
    };
    UniqueWindow host = topLevel(WS_VISIBLE);
    UniqueWindow disabledBefore = topLevel(WS_VISIBLE | WS_DISABLED);
    UniqueWindow hidden = topLevel(0);
    SetActiveWindow(host.Get());
    ASSERT_EQ(host.Get(), GetActiveWindow());
    EXPECT_FALSE(EnterInDialog([&](Operator&, const Dialog& dialog) {
        EXPECT_FALSE(IsWindowEnabled(host.Get()));
        EXPECT_FALSE(IsWindowEnabled(disabledBefore.Get()));
        EXPECT_TRUE(IsWindowEnabled(hidden.Get()));
        EXPECT_TRUE(IsWindowEnabled(dialog.form));
        Operator::CloseBox(dialog.form);
    }));
    EXPECT_TRUE(IsWindowEnabled(host.Get()));
    EXPECT_FALSE(IsWindowEnabled(disabledBefore.Get()));
    EXPECT_TRUE(IsWindowEnabled(hidden.Get()));
    EXPECT_EQ(host.Get(), GetActiveWindow());
}

TEST_F(InputParamTest, QuitMessageCancelsAndStillReachesTheThread) {
    EXPECT_FALSE(EnterInDialog([](Operator& person, const Dialog&) {
        PostThreadMessageW(person.ThreadUnderTest(), WM_QUIT, 42, 0);
    }));
    ExpectUntouched();
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(42u, quit.wParam);
}

}  // namespace
