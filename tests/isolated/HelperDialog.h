#pragma once
// The dialog the test extension ExtDialogEdit.dll shows from the helper: a
// visible top-level window titled "DialogEdit".
#include <windows.h>

#include <cwchar>
#include <functional>

struct DialogEditSearch {
    const std::function<bool(DWORD)>& ofProcess;
    HWND window = nullptr;
};

inline BOOL CALLBACK TakeDialogEdit(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<DialogEditSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t title[64] = L"";
    GetWindowTextW(window, title, 64);
    if (!search.ofProcess(process) || !IsWindowVisible(window) || std::wcscmp(title, L"DialogEdit") != 0) return TRUE;
    search.window = window;
    return FALSE;
}

// The first such window whose process `ofProcess` accepts, or null.
inline HWND FindDialogEdit(const std::function<bool(DWORD)>& ofProcess) {
    DialogEditSearch search{ofProcess};
    EnumWindows(TakeDialogEdit, reinterpret_cast<LPARAM>(&search));
    return search.window;
}
