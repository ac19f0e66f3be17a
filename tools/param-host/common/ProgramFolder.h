#pragma once
// Files that come with this program are found in its own folder.

#include <string>

// The full path of `fileName` in the folder of the running program.
std::wstring FileBesideProgram(const wchar_t* fileName);
