#pragma once
// Appends records to this process's capture files in one folder. Each file
// gets its space reserved with real writes of zeros first (a mapping past
// the disk's free space would fault at the first write instead of failing)
// and is then written through a file mapping: a record is in the system's
// cache once copied, so it survives the process without a flush per call.
// The copy runs under the fault guard, so a fault in the view fails the
// append and nothing else. When a file is full it is cut to its records and
// the next one started, after room was made within the folder's limit
// (capture/CaptureFolder.h). The files are opened without shared deletion,
// so no other process removes a live one, and readable by the user alone.

#include "util/KernelHandle.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

class CaptureFileWriter {
public:
    CaptureFileWriter(std::wstring folder, uint64_t maxBytes);
    CaptureFileWriter(const CaptureFileWriter&) = delete;
    CaptureFileWriter& operator=(const CaptureFileWriter&) = delete;
    ~CaptureFileWriter();

    // Appends one whole record. False when it could not be written: the
    // reason is in Problem() and the writer writes nothing more. While the
    // folder has no room within its limit the record is dropped and the
    // result is true: room is looked for again every RoomRetryMs. A record
    // too large for the folder's limit is dropped (true) with a line in
    // capture.log.
    bool Append(std::string_view record) noexcept;
    const std::string& Problem() const noexcept { return FProblem; }

    // The size of each file (smaller only when the folder's limit is).
    static uint64_t FileBytes(uint64_t maxBytes) noexcept;
    static constexpr DWORD RoomRetryMs = 1000;

private:
    bool OpenFile(size_t atLeast);
    bool Fail(std::string reason);
    bool PauseForRoom();
    bool DropLargerThanLimit(size_t recordBytes);
    void CloseFile() noexcept;
    bool TouchView() noexcept;
    bool CopyIntoView(std::string_view record) noexcept;

    std::wstring FFolder;
    uint64_t FMaxBytes;
    UniqueKernelHandle FFile, FMapping;
    char* FView = nullptr;
    size_t FUsed = 0, FSize = 0;
    std::string FProblem;
    bool FShortOfRoom = false;
    DWORD FRoomRetryAt = 0;  // tick count
};
