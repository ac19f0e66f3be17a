#pragma once
// The capture files of a capture folder and the room they take: files are
// named capture-<process id>-<process start>-<sequence>.ovcap.

#include "util/KernelHandle.h"

#include <cstdint>
#include <string>

constexpr wchar_t CaptureFileSuffix[] = L".ovcap";

// Deletes capture files until the folder's capture files and capture.log
// and `adding` more bytes fit within `maxBytes`: the files of processes
// that have ended first, then the others, oldest first within each. A file
// still open in its process cannot be deleted (the writer does not share
// deletion) and is passed over; one another process deleted first counts as
// deleted. False when no room can be made (for now: other processes' files
// may end and go later), and at once, with nothing deleted, when `adding`
// alone is more than `maxBytes`.
bool MakeRoomForCapture(const std::wstring& folder, uint64_t adding, uint64_t maxBytes);

// Held by one process at a time for one folder (a named mutex of the
// folder's path) from making room to reserving the new file's space, so
// that processes capturing into one folder count its files as they are and
// do not both take the same room. Waits at most a second and then goes on
// without it: a process stuck while holding it must not hold up the others.
class CaptureFolderLock {
public:
    explicit CaptureFolderLock(const std::wstring& folder);
    CaptureFolderLock(const CaptureFolderLock&) = delete;
    CaptureFolderLock& operator=(const CaptureFolderLock&) = delete;
    ~CaptureFolderLock();

private:
    UniqueKernelHandle FMutex;
    bool FHeld = false;
};
