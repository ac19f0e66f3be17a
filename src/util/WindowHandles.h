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

using UniqueWindow = UniqueHandle<HWND, WindowTraits>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectTraits>;
