#include "capture/CaptureLog.h"

#include "util/KernelHandle.h"

#include <windows.h>

#include <cstdio>

namespace {

std::string StampedLine(std::string_view line) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u UTC pid %lu: ", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, GetCurrentProcessId());
    return std::string(stamp).append(line).append("\r\n");
}

}  // namespace

void AppendCaptureLog(const std::wstring& folder, std::string_view line) noexcept {
    try {
        const std::wstring path = folder + L"\\" + CaptureLogName;
        UniqueKernelHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Get() == INVALID_HANDLE_VALUE) {
            file.Release();
            return;
        }
        const std::string text = StampedLine(line);
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.Get(), &size) || static_cast<uint64_t>(size.QuadPart) + text.size() > CaptureLogMaxBytes)
            return;
        DWORD written = 0;
        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    } catch (...) {
    }
}
