#include "common/VersionResource.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

// The whole resource block, which the queries point into; empty when the
// file has none.
std::vector<BYTE> ReadVersionBlock(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return {};
    return block;
}

}  // namespace

std::wstring VersionResourceNumber(const std::wstring& path) {
    std::vector<BYTE> block = ReadVersionBlock(path);
    if (block.empty()) return {};
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed) return {};
    wchar_t text[48];
    const unsigned tweak = LOWORD(fixed->dwFileVersionLS);
    std::swprintf(text, 48, tweak ? L"%u.%u.%u.%u" : L"%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                  LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS), tweak);
    return text;
}

std::wstring VersionResourceString(const std::wstring& path, const wchar_t* name) {
    std::vector<BYTE> block = ReadVersionBlock(path);
    if (block.empty()) return {};
    struct Translation {
        WORD language, codePage;
    }* translations = nullptr;
    UINT translationsSize = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &translationsSize) ||
        translationsSize < sizeof(Translation))
        return {};
    wchar_t key[96];
    std::swprintf(key, 96, L"\\StringFileInfo\\%04x%04x\\%ls", translations->language, translations->codePage, name);
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), key, reinterpret_cast<void**>(&value), &length) || !value || length == 0)
        return {};
    return value;
}
