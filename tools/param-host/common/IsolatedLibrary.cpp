#include "common/IsolatedLibrary.h"

#include "common/ProgramFolder.h"
#include "common/VersionResource.h"

#include "IsolationConfig.h"

#include <windows.h>

#include <cwchar>
#include <memory>

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

}  // namespace

std::optional<std::wstring> IsolatedRealLibrary(const std::wstring& library) {
    const std::wstring path = FoundPath(library);
    const std::wstring original = VersionResourceString(path, L"OriginalFilename");
    if (_wcsicmp(original.c_str(), L"IsolatedExtension.dll") != 0) return std::nullopt;
    const auto config = std::make_unique<IsolationConfig>();
    ReadIsolationConfigOf(path.c_str(), config.get());
    if (!config->library[0]) return std::nullopt;
    return std::wstring(config->library);
}

std::wstring LibraryBehindIsolation(const std::wstring& library) {
    return IsolatedRealLibrary(library).value_or(library);
}
