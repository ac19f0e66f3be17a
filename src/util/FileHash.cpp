#include "util/FileHash.h"

#include "util/KernelHandle.h"

#include <windows.h>

#include <vector>

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
