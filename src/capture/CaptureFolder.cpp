#include "capture/CaptureFolder.h"

#include "capture/CaptureLog.h"
#include "util/KernelHandle.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <vector>

namespace {

struct FolderFile {
    std::wstring name;
    uint64_t size;
    uint64_t lastWrite;
    bool processRunning;
};

uint64_t Combine(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

bool ProcessRunning(DWORD processId) {
    if (processId == GetCurrentProcessId()) return true;
    UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    return process && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

// The process id in a capture file's name, 0 when the name has none.
DWORD ProcessOf(const std::wstring& name) {
    unsigned long id = 0;
    return std::swscanf(name.c_str(), L"capture-%lu-", &id) == 1 ? id : 0;
}

struct FolderContents {
    std::vector<FolderFile> captures;
    uint64_t total = 0;  // every capture file and capture.log
};

FolderContents ListFolder(const std::wstring& folder) {
    FolderContents contents;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return contents;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring name = found.cFileName;
        const uint64_t size = Combine(found.nFileSizeHigh, found.nFileSizeLow);
        const bool capture = name.size() > std::size(CaptureFileSuffix) - 1 &&
                             name.ends_with(CaptureFileSuffix) && name.starts_with(L"capture-");
        if (capture) {
            contents.captures.push_back({name, size,
                                         Combine(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime),
                                         ProcessRunning(ProcessOf(name))});
        }
        if (capture || _wcsicmp(found.cFileName, CaptureLogName) == 0) contents.total += size;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return contents;
}

}  // namespace

bool MakeRoomForCapture(const std::wstring& folder, uint64_t adding, uint64_t maxBytes) {
    FolderContents contents = ListFolder(folder);
    std::sort(contents.captures.begin(), contents.captures.end(), [](const FolderFile& a, const FolderFile& b) {
        if (a.processRunning != b.processRunning) return !a.processRunning;
        return a.lastWrite != b.lastWrite ? a.lastWrite < b.lastWrite : a.name < b.name;
    });
    for (const FolderFile& file : contents.captures) {
        if (contents.total + adding <= maxBytes) break;
        if (DeleteFileW((folder + L"\\" + file.name).c_str())) contents.total -= file.size;
    }
    return contents.total + adding <= maxBytes;
}
