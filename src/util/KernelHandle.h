#pragma once
// Sole owner of a kernel object handle (a process, a thread, an event...):
// closed on reset and destruction. Null means none; INVALID_HANDLE_VALUE is
// not used as "none" here.

#include "util/UniqueHandle.h"

#include <windows.h>

struct KernelHandleTraits {
    static void Destroy(HANDLE handle) noexcept { CloseHandle(handle); }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
