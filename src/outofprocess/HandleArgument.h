#pragma once
// A handle handed down to the process that hosts an extension, its value on
// that process's command line: decimal digits, nothing else.
#include <windows.h>

#include <string>

std::wstring HandleArgument(HANDLE handle);
// Null when `text` is not such a value.
HANDLE HandleFromArgument(const wchar_t* text) noexcept;
