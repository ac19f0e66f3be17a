#include "dialog/ModalLoop.h"

namespace {

struct DisableCandidates {
    HWND form;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM context) noexcept {
    auto& candidates = *reinterpret_cast<DisableCandidates*>(context);
    if (window == candidates.form || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
    try {
        candidates.windows->push_back(window);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

std::vector<HWND> EnabledThreadWindowsBut(HWND form) {
    std::vector<HWND> windows;
    DisableCandidates candidates{form, &windows};
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&candidates));
    return windows;
}

}  // namespace

ModalScope::ModalScope(HWND form)
    : FForm(form), FPreviouslyActive(GetActiveWindow()), FDisabledWindows(EnabledThreadWindowsBut(form)) {
    for (HWND window : FDisabledWindows) EnableWindow(window, FALSE);
    ShowWindow(FForm, SW_SHOWNORMAL);
}

ModalScope::~ModalScope() {
    ShowWindow(FForm, SW_HIDE);
    for (HWND window : FDisabledWindows)
        if (IsWindow(window)) EnableWindow(window, TRUE);
    if (FPreviouslyActive && IsWindow(FPreviouslyActive)) SetActiveWindow(FPreviouslyActive);
}

int RunModalLoop(HWND form, int& modalResult) {
    MSG message;
    while (modalResult == mrNone) {
        const BOOL received = GetMessageW(&message, nullptr, 0, 0);
        if (received == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            modalResult = mrCancel;
        } else if (received == -1) {
            modalResult = mrCancel;
        } else if (!IsDialogMessageW(form, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return modalResult;
}
