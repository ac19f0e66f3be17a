// The form description of dlgInputParam (window, controls and their design
// values) and the routing of its messages to the event handlers.
#include "dialog/FaultBarrier.h"
#include "dialog/InputMethod.h"
#include "dialog/ModalLoop.h"
#include "dialog/dgInputParam.h"
#include "errors/ExceptionMessage.h"
#include "errors/OleErrors.h"
#include "util/AnsiText.h"
#include "util/DeviceContext.h"
#include "util/ModuleFileName.h"

#include <commctrl.h>

#include <string>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// bsDialog: a fixed dialog frame with a caption and a close box only.
constexpr DWORD FormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS | DS_MODALFRAME;
constexpr DWORD FormExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
constexpr int ClientWidth = 296;
constexpr int ClientHeight = 186;

constexpr wchar_t FontName[] = L"宋体";
constexpr int FontHeight = -12;
constexpr wchar_t cbbValueImeName[] = L"中文 (简体) - 微软拼音";
constexpr int cbbValueItemHeight = 12;
constexpr int cbbValueDropDownCount = 8;

// Control identifiers, in tab order.
enum ControlId : int { IdValueEdit = 100, IdOK, IdCancel, IdValueList, IdPrompt };

using Bounds = TdlgInputParam::Bounds;
constexpr Bounds lblPromptBounds{32, 40, 66, 12};
constexpr Bounds btnOKBounds{56, 136, 75, 25};
constexpr Bounds btnCancelBounds{176, 136, 75, 25};
constexpr Bounds edtValueBounds{32, 72, 241, 20};
constexpr Bounds cbbValueBounds{32, 72, 233, 20};

// An in-memory dialog template: the form's frame and caption, no controls
// (they are placed in pixels once the window exists).
#pragma pack(push, 2)
struct FormTemplate {
    DLGTEMPLATE dialog;
    WORD menu;         // none
    WORD windowClass;  // the platform's dialog class
    WCHAR caption[6];
};
#pragma pack(pop)
alignas(4) const FormTemplate dlgInputParamTemplate = {{FormStyle, FormExStyle, 0, 0, 0, 0, 0}, 0, 0, L"输入参数值"};

HINSTANCE ThisModule() noexcept { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

[[noreturn]] void RaiseLastError() { throw EOleSysError("", HRESULT_FROM_WIN32(GetLastError())); }

int WindowHeight(HWND window) {
    RECT bounds;
    GetWindowRect(window, &bounds);
    return bounds.bottom - bounds.top;
}

// The closed combo box is as high as its design height (its selection field
// is sized until it is: the platform does not report every height it adds),
// its list items as high as the design item height.
void FitComboBoxHeight(HWND comboBox, int closedHeight, int itemHeight) {
    LRESULT selectionHeight = SendMessageW(comboBox, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 3 && WindowHeight(comboBox) != closedHeight; ++attempt) {
        selectionHeight -= WindowHeight(comboBox) - closedHeight;
        SendMessageW(comboBox, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), selectionHeight);
    }
    SendMessageW(comboBox, CB_SETITEMHEIGHT, 0, itemHeight);
}

std::string ProgramTitle() {
    const std::wstring path = ModuleFileName(nullptr);
    const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    return AnsiFromWide(name.substr(0, name.rfind(L'.')));
}

// The platform's standard report of an error raised inside an event handler.
void ReportHandlerError(HWND form) noexcept {
    try {
        const std::string message = CurrentExceptionMessage();
        MessageBoxA(form, message.c_str(), ProgramTitle().c_str(), MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
}

// The character as an 8-bit key: its byte in the system code page (the first
// byte of a double-byte character, which is never a control key or a digit).
char EightBitKey(WPARAM character) noexcept {
    const wchar_t wide = static_cast<wchar_t>(character);
    char bytes[2] = {};
    WideCharToMultiByte(CP_ACP, 0, &wide, 1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes[0];
}

// Escape pressed in the edit box: the dialog manager would turn it into a
// cancel command, which closes nothing; the edit box takes it instead, so
// that it arrives as a character at the key handler like any other key.
bool IsEscapeKeyDown(LPARAM queuedMessage) noexcept {
    const auto* message = reinterpret_cast<const MSG*>(queuedMessage);
    return message && message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE;
}

}  // namespace

TdlgInputParam::TdlgInputParam(IParam& param) : FParam(param) {
    CreateForm();
    CreateControls();
}

void TdlgInputParam::CreateForm() {
    FFont.Reset(CreateFontW(FontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, FontName));
    if (!FFont) RaiseLastError();
    FWindow.Reset(CreateDialogIndirectParamW(ThisModule(), &dlgInputParamTemplate.dialog, nullptr, FormProc,
                                             reinterpret_cast<LPARAM>(this)));
    if (!FWindow) RaiseLastError();
    SendMessageW(FWindow.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), FALSE);

    // poScreenCenter: the frame around the design client area, centred on the screen.
    RECT frame{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&frame, FormStyle, FALSE, FormExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(FWindow.Get(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Created in tab order: edtValue, btnOK, btnCancel, cbbValue; the label takes no focus.
void TdlgInputParam::CreateControls() {
    edtValue = CreateControl(WS_EX_CLIENTEDGE, WC_EDITW, L"", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, IdValueEdit,
                             edtValueBounds);
    SendMessageW(edtValue, EM_LIMITTEXT, 0, 0);  // no length limit: 0 lifts the platform's default limit
    btnOK = CreateControl(0, WC_BUTTONW, L"确定", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, IdOK, btnOKBounds);
    btnCancel = CreateControl(0, WC_BUTTONW, L"取消", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, IdCancel,
                              btnCancelBounds);
    Bounds dropped = cbbValueBounds;
    dropped.height += cbbValueDropDownCount * cbbValueItemHeight + 2;
    cbbValue = CreateControl(0, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, IdValueList, dropped);
    FitComboBoxHeight(cbbValue, cbbValueBounds.height, cbbValueItemHeight);
    lblPrompt = CreateControl(0, WC_STATICW, L"Param name:", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, IdPrompt,
                              lblPromptBounds);
    FitPromptToCaption();

    SendMessageW(FWindow.Get(), DM_SETDEFID, IdOK, 0);
    if (!SetWindowSubclass(edtValue, EditProc, 0, reinterpret_cast<DWORD_PTR>(this))) RaiseLastError();
}

HWND TdlgInputParam::CreateControl(DWORD exStyle, const wchar_t* windowClass, const wchar_t* caption, DWORD style,
                                   int id, const Bounds& bounds) {
    HWND control = CreateWindowExW(exStyle, windowClass, caption, WS_CHILD | style, bounds.left, bounds.top,
                                   bounds.width, bounds.height, FWindow.Get(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
    if (!control) RaiseLastError();
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), FALSE);
    return control;
}

// The label sizes itself to its caption on one line.
void TdlgInputParam::FitPromptToCaption() {
    const int length = GetWindowTextLengthW(lblPrompt);
    std::wstring caption(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(lblPrompt, caption.data(), length + 1);
    const UniqueWindowDc context(GetDC(lblPrompt), {lblPrompt});
    if (!context) RaiseLastError();
    const UniqueSelection font(SelectObject(context.Get(), FFont.Get()), {context.Get()});
    RECT extent{0, 0, 0, 0};
    DrawTextW(context.Get(), caption.c_str(), length, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SetWindowPos(lblPrompt, nullptr, 0, 0, extent.right, extent.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TdlgInputParam::SetPrompt(const std::string& caption) {
    SetWindowTextA(lblPrompt, caption.c_str());
    FitPromptToCaption();
}

bool TdlgInputParam::IsShown(HWND control) noexcept { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

void TdlgInputParam::ShowControl(HWND control) noexcept { ShowWindow(control, SW_SHOW); }

std::string TdlgInputParam::ControlText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), length + 1)));
    return AnsiFromWide(text);
}

// Through the dialog manager, so that the default button follows the focus.
void TdlgInputParam::FocusControl(HWND control) noexcept {
    SendMessageW(FWindow.Get(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// The first visible, enabled control in tab order takes the focus.
void TdlgInputParam::FocusFirstControl() noexcept {
    for (HWND control = GetWindow(FWindow.Get(), GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) return FocusControl(control);
    }
}

int TdlgInputParam::ShowModal() {
    FModalResult = mrNone;
    ModalScope shown(FWindow.Get());
    FocusFirstControl();
    return RunModalLoop(FWindow.Get(), FModalResult);
}

INT_PTR CALLBACK TdlgInputParam::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE;  // the focus is given when the form is shown
    }
    auto* form = reinterpret_cast<TdlgInputParam*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!form) return FALSE;
    switch (message) {
    case WM_COMMAND:
        return form->OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_CLOSE:  // the close box and the system menu
        form->FModalResult = mrCancel;
        return TRUE;
    case WM_DESTROY:
        SetWindowLongPtrW(window, DWLP_USER, 0);
        return FALSE;
    default:
        return FALSE;
    }
}

// Escape outside the edit box arrives as IDCANCEL, which no control has: it
// closes nothing.
bool TdlgInputParam::OnCommand(WORD id, WORD notification) {
    switch (id) {
    case IdOK:
        if (notification != BN_CLICKED) return false;
        FModalResult = mrOk;  // before the handler, which may take it back
        if (!RunHandler([this] { btnOKClick(btnOK); })) FModalResult = mrNone;
        return true;
    case IdCancel:
        if (notification != BN_CLICKED) return false;
        FModalResult = mrCancel;
        return true;
    case IdValueList:
        if (notification == CBN_SETFOCUS) ActivateInputMethod(cbbValueImeName);
        if (notification == CBN_KILLFOCUS) ActivateDefaultInputMethod();
        return false;
    default:
        return false;
    }
}

LRESULT CALLBACK TdlgInputParam::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR form) {
    if (message == WM_GETDLGCODE && IsEscapeKeyDown(lParam))
        return DefSubclassProc(window, message, wParam, lParam) | DLGC_WANTMESSAGE;
    if (message == WM_CHAR && !reinterpret_cast<TdlgInputParam*>(form)->OnCharacter(wParam)) return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, EditProc, 0);
    return DefSubclassProc(window, message, wParam, lParam);
}

// Whether the edit box gets the character: not when the key handler dropped it or failed.
bool TdlgInputParam::OnCharacter(WPARAM character) {
    char key = EightBitKey(character);
    return RunHandler([&] { edtValueKeyPress(edtValue, key); }) && key != 0;
}

// An error raised by a handler, or a fault inside it, is reported to the
// operator; the dialog stays open.
template <typename Handler>
bool TdlgInputParam::RunHandler(Handler&& handler) noexcept {
    try {
        RunRaisingFaults(handler);
        return true;
    } catch (...) {
        ReportHandlerError(FWindow.Get());
        return false;
    }
}
