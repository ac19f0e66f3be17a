#include "ProgramFolder.h"

#include <windows.h>

std::wstring FileBesideProgram(const wchar_t* fileName) {
    wchar_t program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program, length);
    path.resize(path.find_last_of(L"\\/") + 1);
    return path + fileName;
}
