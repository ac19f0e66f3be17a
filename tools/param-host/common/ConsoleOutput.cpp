#include "common/ConsoleOutput.h"

#include <windows.h>

#include <io.h>

#include <algorithm>

namespace {

std::wstring WideFromUtf8(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length = static_cast<int>(utf8.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), needed);
    return wide;
}

// The console behind `stream`, or null when it goes to a file or pipe.
HANDLE ConsoleOf(FILE* stream) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

}  // namespace

void WriteOutput(FILE* stream, const std::string& utf8) {
    const HANDLE console = ConsoleOf(stream);
    if (!console) {
        std::fwrite(utf8.data(), 1, utf8.size(), stream);
        std::fflush(stream);
        return;
    }
    std::fflush(stream);
    // In pieces: a console takes a limited amount per call. A piece never
    // ends between the two halves of a character beyond the basic plane.
    constexpr size_t Piece = 8192;
    const std::wstring wide = WideFromUtf8(utf8);
    for (size_t start = 0; start < wide.size();) {
        size_t count = std::min(Piece, wide.size() - start);
        if (start + count < wide.size() && IS_HIGH_SURROGATE(wide[start + count - 1])) --count;
        DWORD written = 0;
        if (!WriteConsoleW(console, wide.data() + start, static_cast<DWORD>(count), &written, nullptr)) return;
        start += count;
    }
}
