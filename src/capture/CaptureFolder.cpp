#include "capture/CaptureFolder.h"

#include "capture/CaptureLog.h"
#include "util/KernelHandle.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
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
    uint64_t total = 0;  // every capture file and both files of the log
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
        if (capture || _wcsicmp(found.cFileName, CaptureLogName) == 0 ||
            _wcsicmp(found.cFileName, CaptureOlderLogName) == 0)
            contents.total += size;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return contents;
}

// A file another process deleted first is room made all the same.
bool DeletedOrGone(const std::wstring& path) {
    if (DeleteFileW(path.c_str())) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool FreeOldest(const std::wstring& folder, FolderContents contents, uint64_t adding, uint64_t maxBytes) {
    std::sort(contents.captures.begin(), contents.captures.end(), [](const FolderFile& a, const FolderFile& b) {
        if (a.processRunning != b.processRunning) return !a.processRunning;
        return a.lastWrite != b.lastWrite ? a.lastWrite < b.lastWrite : a.name < b.name;
    });
    for (const FolderFile& file : contents.captures) {
        if (contents.total + adding <= maxBytes) break;
        if (DeletedOrGone(folder + L"\\" + file.name)) contents.total -= file.size;
    }
    return contents.total + adding <= maxBytes;
}

// The name of the folder's lock: a hash of its path, letter case aside.
std::wstring LockName(const std::wstring& folder) {
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t letter : folder) hash = (hash ^ static_cast<uint64_t>(std::towupper(letter))) * 1099511628211ull;
    wchar_t name[64];
    std::swprintf(name, std::size(name), L"Local\\OvixParamCaptureFolder-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace

CaptureFolderLock::CaptureFolderLock(const std::wstring& folder)
    : FMutex(CreateMutexW(nullptr, FALSE, LockName(folder).c_str())) {
    if (!FMutex) return;
    const DWORD waited = WaitForSingleObject(FMutex.Get(), 1000);
    FHeld = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

CaptureFolderLock::~CaptureFolderLock() {
    if (FHeld) ReleaseMutex(FMutex.Get());
}

bool MakeRoomForCapture(const std::wstring& folder, uint64_t adding, uint64_t maxBytes) {
    if (adding > maxBytes) return false;  // removing every file would not make room: remove none
    // Processes capturing into the same folder change it while it is listed:
    // one more listing sees the files they started and ended meanwhile.
    return FreeOldest(folder, ListFolder(folder), adding, maxBytes) ||
           FreeOldest(folder, ListFolder(folder), adding, maxBytes);
}
