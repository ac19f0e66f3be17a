#pragma once
// A program a test started: waited for to its end, its handles closed.

#include "util/KernelHandle.h"

#include <windows.h>

// Waits until the started process has ended and answers its exit code.
inline DWORD ExitCodeAtEnd(const PROCESS_INFORMATION& process) {
    const UniqueKernelHandle processHandle(process.hProcess);
    const UniqueKernelHandle threadHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}
