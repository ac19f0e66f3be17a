#include "IsolatedLibrary.h"

#include "ProgramFolder.h"

#include "IsolationConfig.h"

#include <windows.h>

#include <cwchar>
#include <memory>
#include <vector>

namespace {

// The full path of a library as param_host finds it: as given when it
// exists, else next to the program.
std::wstring FoundPath(const std::wstring& library) {
    const std::wstring path =
        GetFileAttributesW(library.c_str()) != INVALID_FILE_ATTRIBUTES ? library : FileBesideProgram(library.c_str());
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(full, length) : path;
}

std::wstring OriginalFileName(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return {};
    struct Translation {
        WORD language, codePage;
    }* translations = nullptr;
    UINT translationsSize = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &translationsSize) ||
        translationsSize < sizeof(Translation))
        return {};
    wchar_t key[64];
    std::swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\OriginalFilename", translations->language,
                  translations->codePage);
    wchar_t* name = nullptr;
    UINT nameLength = 0;
    if (!VerQueryValueW(block.data(), key, reinterpret_cast<void**>(&name), &nameLength) || !name) return {};
    return name;
}

}  // namespace

std::optional<std::wstring> IsolatedRealLibrary(const std::wstring& library) {
    const std::wstring path = FoundPath(library);
    if (_wcsicmp(OriginalFileName(path).c_str(), L"IsolatedExtension.dll") != 0) return std::nullopt;
    const auto config = std::make_unique<IsolationConfig>();
    ReadIsolationConfigOf(path.c_str(), config.get());
    if (!config->library[0]) return std::nullopt;
    return std::wstring(config->library);
}

std::wstring LibraryBehindIsolation(const std::wstring& library) {
    return IsolatedRealLibrary(library).value_or(library);
}
