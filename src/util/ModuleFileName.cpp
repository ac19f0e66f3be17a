#include "util/ModuleFileName.h"

std::wstring ModuleFileName(HMODULE module) {
    // A path that fills the buffer may have been cut short: try again with twice the room.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 0x10000) return {};  // beyond the longest path the platform has
        path.resize(path.size() * 2);
    }
}

std::wstring ShortPathOf(const std::wstring& path) {
    const DWORD room = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (room == 0) return path;
    std::wstring shortPath(room, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), room);
    if (length == 0 || length >= room) return path;
    shortPath.resize(length);
    return shortPath;
}

std::wstring PathWithinMaxPath(const std::wstring& path) {
    return path.size() < MAX_PATH ? path : ShortPathOf(path);
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}
