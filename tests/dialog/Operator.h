#pragma once
// An operator at the screen: a second thread that uses the windows of the
// thread under test as a person would (finds them by caption, types, presses
// buttons and keys, reads what they show), while that thread runs the call
// under test, which shows a modal window and dispatches its messages.

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

class Operator {
public:
    // Runs `script` on a new thread while `call` runs on this one; after the
    // call has returned (or raised, which is passed on) waits for the script.
    // A window still open after the script counts as a failure and is closed.
    static void Run(const std::function<void(Operator&)>& script, const std::function<void()>& call);

    // A top-level window of this process with this caption, once it is
    // shown; null (and a failure) when the call under test returns first.
    HWND WaitForWindow(const wchar_t* caption);
    void WaitUntilGone(HWND window);
    // Waits until `condition` holds; false when the call under test returns first.
    bool WaitUntil(const std::function<bool()>& condition) const;
    // Returns once the thread under test has handled every message sent to
    // its windows before (it answers sent messages only from its loop).
    void Sync(HWND window) const { SendMessageW(window, WM_NULL, 0, 0); }
    // The control of the thread under test that has the keyboard focus.
    HWND Focus() const;
    DWORD ThreadUnderTest() const { return FThreadUnderTest; }

    // Reading what the windows show.
    static HWND FindOwnWindow(const wchar_t* caption);
    static HWND Control(HWND parent, const wchar_t* windowClass, const wchar_t* caption = nullptr);
    static std::wstring Text(HWND window);
    static RECT BoundsInParent(HWND control);
    // A message box's text: its one non-empty static text.
    static std::wstring MessageText(HWND box);
    static HICON MessageIcon(HWND box);

    // Acting: typed characters are handled when Type returns; clicks, keys
    // and the close box are posted, as input is.
    static void Type(HWND control, std::wstring_view characters);
    static void TypeLater(HWND control, wchar_t character) { PostMessageW(control, WM_CHAR, character, 1); }
    static void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }
    static void PressKey(HWND control, WPARAM key);
    static void CloseBox(HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }
    // Presses a message box's only button and waits until the box is gone.
    void Dismiss(HWND box);

    // Saves the whole screen, with `window` freshly painted, as
    // build/<fileName> (PNG), to be looked at.
    void Screenshot(HWND window, const char* fileName) const;

private:
    explicit Operator(DWORD threadUnderTest) : FThreadUnderTest(threadUnderTest) {}
    void CloseLeftovers();

    DWORD FThreadUnderTest;
    std::atomic<bool> FCallReturned{false};
};
