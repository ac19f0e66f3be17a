#include "common/ProgramFolder.h"

#include "util/ModuleFileName.h"

std::wstring FileBesideProgram(const wchar_t* fileName) {
    return FolderOf(ModuleFileName(nullptr)) + fileName;
}
