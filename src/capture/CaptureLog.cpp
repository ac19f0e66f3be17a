#include "capture/CaptureLog.h"

#include "logfile/BoundedLog.h"
#include "util/SrwLockGuard.h"

#include <windows.h>

#include <cstdio>
#include <memory>

namespace {

struct LogCloser {
    void operator()(BoundedLog* log) const noexcept { BoundedLogClose(log); }
};

// The log of the folder written to last, for the whole process: the switch
// and the file writer count their repeated events in one place, and the
// counts still due are written when the component unloads.
struct FolderLog {
    SRWLOCK lock = SRWLOCK_INIT;
    std::wstring folder;
    std::unique_ptr<BoundedLog, LogCloser> log;
};

FolderLog& TheLog() {
    static FolderLog log;
    return log;
}

// The event a line tells of: its words without their numbers ("system
// error 112" and "system error 5" are one kind).
uint32_t EventKind(std::string_view line) noexcept {
    uint32_t hash = 2166136261u;
    for (const char letter : line)
        if (letter < '0' || letter > '9') hash = (hash ^ static_cast<unsigned char>(letter)) * 16777619u;
    return hash;
}

std::string StampedLine(std::string_view line) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u UTC pid %lu: ", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, GetCurrentProcessId());
    return std::string(stamp).append(line);
}

}  // namespace

void AppendCaptureLog(const std::wstring& folder, std::string_view line) noexcept {
    try {
        FolderLog& open = TheLog();
        const SrwLockGuard locked(open.lock);
        if (!open.log || open.folder != folder) {
            open.log.reset();
            open.folder = folder;
            open.log.reset(BoundedLogOpen((folder + L"\\" + CaptureLogName).c_str(), nullptr, CaptureLogMaxBytes));
        }
        if (open.log) BoundedLogWrite(open.log.get(), EventKind(line), 0, StampedLine(line).c_str());
    } catch (...) {
    }
}
