#pragma once
// Showing a window modally on the calling thread, without a dialog manager
// loop of the platform: the caller's own message loop keeps running inside.

#include <windows.h>

#include <vector>

// The modal results of a form: 0 while it is open, 1 for OK, 2 for Cancel.
enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

// While it lives, `form` is shown and the thread's other visible, enabled
// top-level windows are disabled. On destruction the form is hidden, those
// windows are enabled again and the window that was active before is
// activated again.
class ModalScope {
public:
    explicit ModalScope(HWND form);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    HWND FForm;
    HWND FPreviouslyActive;
    std::vector<HWND> FDisabledWindows;
};

// Dispatches the thread's messages, with the dialog keys (Tab, Enter, Escape)
// of `form`, until `modalResult` is no longer mrNone, and returns it. A quit
// message ends the loop with mrCancel and is posted again, so that it still
// reaches the thread's own message loop afterwards.
int RunModalLoop(HWND form, int& modalResult);
