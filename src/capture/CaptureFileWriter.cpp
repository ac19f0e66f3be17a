#include "capture/CaptureFileWriter.h"

#include "capture/CaptureFolder.h"
#include "capture/CaptureLog.h"
#include "guard/FaultGuard.h"
#include "util/CaptureRecordBuilder.h"

#include <sddl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr uint64_t MaxFileBytes = 4 << 20;
constexpr uint64_t MinFileBytes = 64 << 10;
constexpr DWORD ReserveChunk = 64 << 10;
constexpr size_t PageBytes = 4096;

// The files' sequence numbers count on across writers, so that capture
// switched off and on again in a process starts a new file.
std::atomic<unsigned> GFileSequence{0};

std::string SystemError(const char* what, DWORD error = GetLastError()) {
    char text[160];
    std::snprintf(text, sizeof text, "%s failed (system error %lu)", what, error);
    return text;
}

// "capture-<pid>-<start of this process, UTC>-<sequence>.ovcap"
std::wstring FileName(unsigned sequence) {
    FILETIME created, exited, kernel, user;
    SYSTEMTIME start{};
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) FileTimeToSystemTime(&created, &start);
    wchar_t name[96];
    std::swprintf(name, std::size(name), L"capture-%lu-%04u%02u%02uT%02u%02u%02u-%04u%ls", GetCurrentProcessId(),
                  start.wYear, start.wMonth, start.wDay, start.wHour, start.wMinute, start.wSecond, sequence,
                  CaptureFileSuffix);
    return name;
}

// A security descriptor that lets the current user alone at the file.
struct OwnerOnly {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    OwnerOnly() {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
        UniqueKernelHandle owned(token);
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<unsigned char> user(size);
        wchar_t* sid = nullptr;
        if (!size || !GetTokenInformation(token, TokenUser, user.data(), size, &size) ||
            !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid))
            return;
        const std::wstring sddl = std::wstring(L"D:P(A;;FA;;;") + sid + L")";
        LocalFree(sid);
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr);
    }
    ~OwnerOnly() { LocalFree(descriptor); }
    OwnerOnly(const OwnerOnly&) = delete;
    OwnerOnly& operator=(const OwnerOnly&) = delete;
};

HANDLE CreateOwnerOnlyFile(const std::wstring& path) {
    OwnerOnly security;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, security.descriptor, FALSE};
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    security.descriptor ? &attributes : nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

// Writes `size` zero bytes from the file's start.
bool ReserveWithZeros(HANDLE file, uint64_t size) {
    const std::vector<char> zeros(ReserveChunk);
    for (uint64_t done = 0; done < size;) {
        const DWORD piece = static_cast<DWORD>(std::min<uint64_t>(ReserveChunk, size - done));
        DWORD written = 0;
        if (!WriteFile(file, zeros.data(), piece, &written, nullptr) || written != piece) return false;
        done += piece;
    }
    return true;
}

std::string FileRecord() {
    CaptureRecordBuilder record(CaptureFileKind);
    record.AddU32(CaptureTag::FormatVersion, CaptureFormatVersion);
    record.AddU32(CaptureTag::ProcessId, GetCurrentProcessId());
    wchar_t image[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, image, MAX_PATH);
    record.AddText(CaptureTag::ProcessImage, std::wstring_view(image, std::min<DWORD>(length, MAX_PATH)));
    return std::string(record.Finish());
}

}  // namespace

CaptureFileWriter::CaptureFileWriter(std::wstring folder, uint64_t maxBytes)
    : FFolder(std::move(folder)), FMaxBytes(maxBytes) {}

CaptureFileWriter::~CaptureFileWriter() { CloseFile(); }

uint64_t CaptureFileWriter::FileBytes(uint64_t maxBytes) noexcept {
    return std::min(maxBytes, std::clamp(maxBytes / 8, MinFileBytes, MaxFileBytes));
}

bool CaptureFileWriter::Append(std::string_view record) noexcept {
    if (!FProblem.empty()) return false;
    try {
        if (!FView || FSize - FUsed < record.size()) {
            if (FShortOfRoom && static_cast<LONG>(GetTickCount() - FRoomRetryAt) < 0) return true;  // dropped
            if (!OpenFile(record.size())) return FProblem.empty();
        }
        if (!CopyIntoView(record)) return Fail("writing into the capture file faulted (the disk may be full)");
        FUsed += record.size();
        return true;
    } catch (...) {
        return Fail("out of memory");
    }
}

bool CaptureFileWriter::Fail(std::string reason) {
    FProblem = std::move(reason);
    CloseFile();
    return false;
}

// No room now is no reason to stop for good: the files of other processes
// capturing into the folder end and go. Records are dropped meanwhile, and
// room is looked for again after a while, with one log line per shortage.
bool CaptureFileWriter::PauseForRoom() {
    if (!FShortOfRoom)
        AppendCaptureLog(FFolder, "capture paused: no room within MaxMB (the folder is taken by files of running "
                                  "processes or other files); records are dropped until room is made, looked for "
                                  "again every second");
    FShortOfRoom = true;
    FRoomRetryAt = GetTickCount() + RoomRetryMs;
    return false;
}

// A record that would need a file larger than the folder's limit can never
// be written there: it is dropped without touching the folder or the file
// open now, with a line naming it, and capture goes on.
bool CaptureFileWriter::DropLargerThanLimit(size_t recordBytes) {
    char line[200];
    std::snprintf(line, sizeof line,
                  "capture record dropped: a record of %lu bytes needs a file larger than the %llu bytes of MaxMB",
                  static_cast<unsigned long>(recordBytes), static_cast<unsigned long long>(FMaxBytes));
    AppendCaptureLog(FFolder, line);
    return false;
}

bool CaptureFileWriter::OpenFile(size_t atLeast) {
    const std::string header = FileRecord();
    const uint64_t size =
        std::max<uint64_t>(FileBytes(FMaxBytes), (header.size() + atLeast + PageBytes - 1) / PageBytes * PageBytes);
    if (size > FMaxBytes) return DropLargerThanLimit(atLeast);
    CloseFile();
    const CaptureFolderLock turn(FFolder);
    if (!MakeRoomForCapture(FFolder, size, FMaxBytes)) return PauseForRoom();
    FShortOfRoom = false;
    const std::wstring path = FFolder + L"\\" + FileName(++GFileSequence);
    FFile.Reset(CreateOwnerOnlyFile(path));
    if (!FFile) return Fail(SystemError("creating the capture file"));
    if (!ReserveWithZeros(FFile.Get(), size)) {
        const DWORD error = GetLastError();
        FFile.Reset();
        DeleteFileW(path.c_str());
        return Fail(SystemError("reserving the capture file's space", error));
    }
    FMapping.Reset(CreateFileMappingW(FFile.Get(), nullptr, PAGE_READWRITE, static_cast<DWORD>(size >> 32),
                                      static_cast<DWORD>(size), nullptr));
    if (FMapping) FView = static_cast<char*>(MapViewOfFile(FMapping.Get(), FILE_MAP_WRITE, 0, 0, 0));
    if (!FView) return Fail(SystemError("mapping the capture file"));
    FSize = static_cast<size_t>(size);
    FUsed = 0;
    if (!TouchView()) return Fail("writing into the capture file faulted (the disk may be full)");
    if (!CopyIntoView(header)) return Fail("writing into the capture file faulted (the disk may be full)");
    FUsed = header.size();
    return true;
}

// The copy is a string move (`rep movsb`): a processor with fast string
// moves writes the view's whole cache lines without reading them in first,
// where the runtime's memcpy under Wine reads each cold line of the view
// before writing it (measured: about 15 ns less per record of 350 bytes).
bool CaptureFileWriter::CopyIntoView(std::string_view record) noexcept {
    char* target = FView + FUsed;
    auto copy = [&]() noexcept -> int32_t {
        void* to = target;
        const void* from = record.data();
        size_t size = record.size();
        asm volatile("rep movsb" : "+D"(to), "+S"(from), "+c"(size) : : "memory");
        return 0;
    };
    return RunUnderFaultGuard(copy).completed;
}

// The first write to each page of a mapped file costs a page fault (the
// system notes the page as written); a record is a few hundred bytes, so
// that would be a fault every dozen records, a good part of a record's cost.
// Writing a zero (what the page holds already) into every page once, when
// the file is opened, takes those faults in one pass instead.
bool CaptureFileWriter::TouchView() noexcept {
    char* const view = FView;
    const size_t size = FSize;
    auto touch = [view, size]() noexcept -> int32_t {
        for (size_t offset = 0; offset < size; offset += PageBytes) *static_cast<volatile char*>(view + offset) = 0;
        return 0;
    };
    return RunUnderFaultGuard(touch).completed;
}

// Cuts the file to its records, so that a reader finds no zeros to skip and
// the folder's limit counts what is written.
void CaptureFileWriter::CloseFile() noexcept {
    if (FView) UnmapViewOfFile(FView);
    FView = nullptr;
    FMapping.Reset();
    if (FFile) {
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(FUsed);
        if (SetFilePointerEx(FFile.Get(), end, nullptr, FILE_BEGIN)) SetEndOfFile(FFile.Get());
    }
    FFile.Reset();
    FUsed = FSize = 0;
}
