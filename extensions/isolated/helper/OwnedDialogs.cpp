#include "OwnedDialogs.h"

namespace {

HWND Owner;

LRESULT CALLBACK GiveOwner(int code, WPARAM window, LPARAM details) {
    if (code == HCBT_CREATEWND) {
        CREATESTRUCTW* created = reinterpret_cast<CBT_CREATEWNDW*>(details)->lpcs;
        if (!(created->style & WS_CHILD) && !created->hwndParent) {
            created->hwndParent = Owner;
            // The window exists already: its owner is set on it as well (the
            // structure's change alone does not reach it everywhere).
            SetWindowLongPtrW(reinterpret_cast<HWND>(window), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Owner));
        }
    }
    return CallNextHookEx(nullptr, code, window, details);
}

}  // namespace

OwnedDialogs::OwnedDialogs(HWND owner) {
    if (!owner || !IsWindow(owner)) return;
    Owner = owner;
    FHook = SetWindowsHookExW(WH_CBT, GiveOwner, nullptr, GetCurrentThreadId());
}

OwnedDialogs::~OwnedDialogs() {
    if (FHook) UnhookWindowsHookEx(FHook);
}
