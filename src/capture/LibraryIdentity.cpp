#include "capture/LibraryIdentity.h"

#include "util/FileHash.h"
#include "util/SrwLockGuard.h"

#include <windows.h>

#include <cwchar>
#include <map>
#include <vector>

namespace {

std::wstring FileVersion(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (!size) return {};
    std::vector<unsigned char> block(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
        return {};
    wchar_t text[64];
    std::swprintf(text, std::size(text), L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                  HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    return text;
}

// The file the slot loaded: a relative path is found as the loader found it.
std::wstring LoadedFile(const std::wstring& path) {
    const HMODULE module = GetModuleHandleW(path.c_str());
    wchar_t file[MAX_PATH];
    const DWORD length = module ? GetModuleFileNameW(module, file, MAX_PATH) : 0;
    return length && length < MAX_PATH ? std::wstring(file, length) : path;
}

}  // namespace

LibraryIdentity IdentifyLibrary(const std::wstring& path) {
    static SRWLOCK lock = SRWLOCK_INIT;
    static std::map<std::wstring, LibraryIdentity> known;
    const SrwLockGuard locked(lock);
    const auto found = known.find(path);
    if (found != known.end()) return found->second;
    const std::wstring file = LoadedFile(path);
    return known[path] = LibraryIdentity{FileVersion(file), FileHash(file)};
}
