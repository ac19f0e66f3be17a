#pragma once
// The capture files of a capture folder and the room they take: files are
// named capture-<process id>-<process start>-<sequence>.ovcap.

#include <cstdint>
#include <string>

constexpr wchar_t CaptureFileSuffix[] = L".ovcap";

// Deletes capture files until the folder's capture files and capture.log
// and `adding` more bytes fit within `maxBytes`: the files of processes
// that have ended first, then the others, oldest first within each. A file
// still open in its process cannot be deleted (the writer does not share
// deletion) and is passed over. False when no room can be made.
bool MakeRoomForCapture(const std::wstring& folder, uint64_t adding, uint64_t maxBytes);
