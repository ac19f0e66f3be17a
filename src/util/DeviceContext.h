#pragma once
// Sole owners of a window's device context and of what is selected into one.

#include "util/UniqueHandle.h"

#include <windows.h>

// A window's device context goes back to that window.
struct WindowDcTraits {
    HWND window;
    void Destroy(HDC context) const noexcept { ReleaseDC(window, context); }
};
// The object a selection replaced in a device context is selected again.
struct SelectionTraits {
    HDC context;
    void Destroy(HGDIOBJ replaced) const noexcept { SelectObject(context, replaced); }
};

using UniqueWindowDc = UniqueHandle<HDC, WindowDcTraits>;
// Holds what SelectObject returned: the object it replaced.
using UniqueSelection = UniqueHandle<HGDIOBJ, SelectionTraits>;
