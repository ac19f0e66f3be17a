#pragma once
// Sole owners of window and GDI handles.

#include "util/UniqueHandle.h"

#include <windows.h>

struct WindowTraits {
    static void Destroy(HWND window) noexcept { DestroyWindow(window); }
};
struct GdiObjectTraits {
    static void Destroy(HGDIOBJ object) noexcept { DeleteObject(object); }
};
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

using UniqueWindow = UniqueHandle<HWND, WindowTraits>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectTraits>;
using UniqueWindowDc = UniqueHandle<HDC, WindowDcTraits>;
// Holds what SelectObject returned: the object it replaced.
using UniqueSelection = UniqueHandle<HGDIOBJ, SelectionTraits>;
