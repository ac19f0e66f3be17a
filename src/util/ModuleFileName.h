#pragma once
// The full path of a loaded module (or, for null, of the program), as UTF-16
// of any length: a folder outside the ANSI code page or longer than MAX_PATH
// comes back whole.

#include <windows.h>

#include <string>

// Empty when the platform cannot tell.
std::wstring ModuleFileName(HMODULE module);

// The short (8.3) form of `path` when the platform has one, else `path`.
std::wstring ShortPathOf(const std::wstring& path);

// `path` in a form that fits a MAX_PATH buffer, as many clients and parts of
// the platform read a path: its short form when it is longer.
std::wstring PathWithinMaxPath(const std::wstring& path);

// The folder part of `path`, up to and including its last separator.
std::wstring FolderOf(const std::wstring& path);
