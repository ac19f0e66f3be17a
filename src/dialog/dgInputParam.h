#pragma once
// The value-entry dialog: the small modal form through which the operator
// types a new value of a parameter (free text with a range hint and a key
// filter) or picks one of its options (a drop-down list).

#include "contracts/Vantrel_TLB.h"
#include "util/Exception.h"
#include "util/WindowHandles.h"

#include <string>

// A count or index outside its allowed range.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

// The form dlgInputParam. It exists for one call of InputParamValue: the
// window is built hidden with its design values, shown modally and destroyed
// with the object. It borrows the parameter object for that call, as the
// call's own argument, and takes no reference of its own: nothing of the
// host's is released outside the host-call guard.
class TdlgInputParam {
public:
    explicit TdlgInputParam(IParam& param);
    TdlgInputParam(const TdlgInputParam&) = delete;
    TdlgInputParam& operator=(const TdlgInputParam&) = delete;

    // A control's place in the client area, in pixels.
    struct Bounds {
        int left, top, width, height;
    };

    // The controls, in their declared order.
    HWND btnOK = nullptr;
    HWND btnCancel = nullptr;
    HWND lblPrompt = nullptr;
    HWND edtValue = nullptr;
    HWND cbbValue = nullptr;

    // Confirms the entry: accepts a text that the host approves, otherwise
    // tells the operator and keeps the dialog open.
    void btnOKClick(HWND sender);
    // Filters a character typed into edtValue; setting `key` to 0 drops it.
    void edtValueKeyPress(HWND sender, char& key);

    // Shows the form modally on the calling thread until it closes; returns
    // the modal result (mrOk or mrCancel).
    int ShowModal();

    IParam& Param() const noexcept { return FParam; }
    // Whether the control itself is set visible (whatever the form's state).
    static bool IsShown(HWND control) noexcept;
    void ShowControl(HWND control) noexcept;
    // Sets the prompt's 8-bit caption; the label sizes itself to it.
    void SetPrompt(const std::string& caption);
    // The text of a control as 8-bit text.
    static std::string ControlText(HWND control);

private:
    void CreateForm();
    void CreateControls();
    HWND CreateControl(DWORD exStyle, const wchar_t* windowClass, const wchar_t* caption, DWORD style, int id,
                       const Bounds& bounds);
    void FitPromptToCaption();
    void FocusControl(HWND control) noexcept;
    void FocusFirstControl() noexcept;

    // Message routing from the window and the edit box to the handlers.
    static INT_PTR CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR form);
    bool OnCommand(WORD id, WORD notification);
    bool OnCharacter(WPARAM character);
    template <typename Handler>
    bool RunHandler(Handler&& handler) noexcept;

    IParam& FParam;
    UniqueFont FFont;
    UniqueWindow FWindow;  // destroyed before the font it uses
    int FModalResult = 0;
};

// Shows a new dialog for `Param` and, when the operator closes it with OK
// and a value, stores the value and its display text. Returns false (and
// leaves both untouched) for every other close. Host call failures, and
// EProcessorFault for a host that faults while the form is prepared, raise
// after the form has been destroyed.
bool InputParamValue(IParam* Param, std::string& Value, std::string& DisplayText);
