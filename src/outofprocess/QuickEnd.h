#pragma once
// How a process that hosts an extension ends when the extension takes it
// down: at once, with the exception's code as its exit code, without the
// system's crash dialog, a debugger or a message box; abort() writes its
// message to the standard error (which goes nowhere) and ends with exit
// code 3. The process that started it reads what happened from that code.
#include <windows.h>

// Told of the unhandled exception before the process ends; it must not
// touch a heap (the extension may have damaged it).
using LastWord = void (*)(const EXCEPTION_RECORD& record) noexcept;

// Sets this up for the whole process; `lastWord` may be null.
void EndQuicklyOnFailure(LastWord lastWord = nullptr) noexcept;
