#include "check/RecordsPipe.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <cstdio>

namespace {

HANDLE records = INVALID_HANDLE_VALUE;  // kept open until the process ends

// The C runtime's descriptor 1 on NUL, or closed where NUL cannot be opened:
// never on the pipe.
void SilenceRuntimeOutput() {
    std::fflush(stdout);
    const int nothing = _open("NUL", _O_WRONLY | _O_BINARY);
    if (nothing < 0 || _dup2(nothing, 1) != 0) _close(1);
    if (nothing >= 0) _close(nothing);
}

HANDLE OpenNul() {
    return CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

void TakeRecordsPipe() {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE own = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), output, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        // No handle of its own: the records go on the standard output, as they were given.
        records = output;
        return;
    }
    records = own;
    // The inherited handle may stay open behind the runtime's descriptor: no process started from here gets it.
    SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
    SilenceRuntimeOutput();
    const auto runtimeHandle = reinterpret_cast<HANDLE>(_get_osfhandle(1));
    SetStdHandle(STD_OUTPUT_HANDLE, runtimeHandle != INVALID_HANDLE_VALUE ? runtimeHandle : OpenNul());
}

void WriteToChecker(const char* bytes, size_t size) noexcept {
    DWORD written = 0;
    WriteFile(records, bytes, static_cast<DWORD>(size), &written, nullptr);
}
