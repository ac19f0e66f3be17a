#include "util/AnsiText.h"

#include "util/StackBuffer.h"

#include <algorithm>
#include <climits>
#include <new>

// ASCII (codes below 0x80) is the same in every Windows ANSI code page, so a
// text made of it crosses by widening or narrowing each character; only
// other texts go through the system's conversion, once, into a buffer that
// is large enough by construction. This is on the path of every text an
// operation reads or writes, where the system's conversion, run twice (a
// size query, then the conversion), cost more than the operation's own work.

namespace {

int CheckedLength(size_t size) {
    if (size > static_cast<size_t>(INT_MAX)) throw std::bad_alloc();
    return static_cast<int>(size);
}

template <typename Char>
bool IsAscii(std::basic_string_view<Char> text) {
    return std::all_of(text.begin(), text.end(), [](Char c) {
        return static_cast<std::make_unsigned_t<Char>>(c) < 0x80;
    });
}

// Copies ASCII characters from one character type to the other.
template <typename From, typename To>
void CopyAscii(std::basic_string_view<From> text, To* out) {
    std::transform(text.begin(), text.end(), out, [](From c) { return static_cast<To>(c); });
}

// The most bytes the system code page takes for one UTF-16 unit (2 in GBK).
size_t MaxAnsiBytesPerUnit() {
    static const size_t maxBytes = [] {
        CPINFO info;
        return GetCPInfo(CP_ACP, &info) ? std::max<size_t>(info.MaxCharSize, 1) : 4;
    }();
    return maxBytes;
}

// The general conversions: a size query, then the conversion.
std::string AnsiFromWideMeasured(std::wstring_view text) {
    const int length = CheckedLength(text.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, result.data(), needed, nullptr, nullptr);
    return result;
}

std::wstring WideFromAnsiMeasured(std::string_view text) {
    const int length = CheckedLength(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring result(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, result.data(), needed);
    return result;
}

}  // namespace

std::string AnsiFromWide(std::wstring_view text) {
    if (text.empty()) return {};
    if (IsAscii(text)) {
        std::string narrow(text.size(), '\0');
        CopyAscii(text, narrow.data());
        return narrow;
    }
    const int length = CheckedLength(text.size());
    std::string result(text.size() * MaxAnsiBytesPerUnit(), '\0');
    const int converted = WideCharToMultiByte(CP_ACP, 0, text.data(), length, result.data(),
                                              CheckedLength(result.size()), nullptr, nullptr);
    if (converted <= 0) return AnsiFromWideMeasured(text);
    result.resize(static_cast<size_t>(converted));
    return result;
}

std::string AnsiFromBstr(BSTR text) {
    return AnsiFromWide({text ? text : L"", SysStringLen(text)});
}

std::wstring WideFromAnsi(std::string_view text) {
    if (text.empty()) return {};
    if (IsAscii(text)) {
        std::wstring wide(text.size(), L'\0');
        CopyAscii(text, wide.data());
        return wide;
    }
    return WideFromAnsiMeasured(text);
}

UniqueBstr BstrFromAnsi(std::string_view text) {
    if (text.empty()) return {};
    if (IsAscii(text)) {
        UniqueBstr wide = UniqueBstr::Allocate(text.size());
        CopyAscii(text, wide.Get());
        return wide;
    }
    // No ANSI code page makes more UTF-16 units of a text than it has bytes.
    const int length = CheckedLength(text.size());
    StackBuffer<wchar_t> wide(text.size());
    const int converted = MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.Data(), length);
    if (converted <= 0) return UniqueBstr::Copy(WideFromAnsiMeasured(text));
    wide.Shorten(static_cast<size_t>(converted));
    return UniqueBstr::Copy(wide.View());
}
