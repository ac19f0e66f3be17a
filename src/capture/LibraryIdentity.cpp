#include "capture/LibraryIdentity.h"

#include "util/KernelHandle.h"

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

uint64_t FileHash(const std::wstring& path) {
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        file.Release();
        return 0;
    }
    uint64_t hash = 14695981039346656037ull;
    std::vector<unsigned char> buffer(64 * 1024);
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read) {
        for (DWORD i = 0; i < read; ++i) hash = (hash ^ buffer[i]) * 1099511628211ull;
    }
    return hash;
}

}  // namespace

LibraryIdentity IdentifyLibrary(const std::wstring& path) {
    static SRWLOCK lock = SRWLOCK_INIT;
    static std::map<std::wstring, LibraryIdentity> known;
    AcquireSRWLockExclusive(&lock);
    struct Unlock {
        ~Unlock() { ReleaseSRWLockExclusive(&lock); }
    } unlock;
    const auto found = known.find(path);
    if (found != known.end()) return found->second;
    return known[path] = LibraryIdentity{FileVersion(path), FileHash(path)};
}
