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

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Widens ASCII characters.
template <typename Wide>
void WidenAscii(std::string_view text, Wide* out) {
    std::transform(text.begin(), text.end(), out, [](char c) { return static_cast<Wide>(c); });
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

// A text that is not all ASCII, converted once into a buffer large enough
// for the code page's longest characters.
std::string AnsiFromWideConverted(std::wstring_view text) {
    std::string result(text.size() * MaxAnsiBytesPerUnit(), '\0');
    const int converted = WideCharToMultiByte(CP_ACP, 0, text.data(), CheckedLength(text.size()), result.data(),
                                              CheckedLength(result.size()), nullptr, nullptr);
    if (converted <= 0) return AnsiFromWideMeasured(text);
    result.resize(static_cast<size_t>(converted));
    return result;
}

}  // namespace

bool IsAscii(std::wstring_view text) noexcept {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; });
}

std::string AnsiFromWide(std::wstring_view text) {
    if (!IsAscii(text)) return AnsiFromWideConverted(text);
    std::string narrow(text.size(), '\0');
    std::transform(text.begin(), text.end(), narrow.begin(), [](wchar_t c) { return static_cast<char>(c); });
    return narrow;
}

std::string AnsiFromBstr(BSTR text) {
    return AnsiFromWide({text ? text : L"", SysStringLen(text)});
}

std::wstring WideFromAnsi(std::string_view text) {
    if (text.empty()) return {};
    if (!IsAscii(text)) return WideFromAnsiMeasured(text);
    std::wstring wide(text.size(), L'\0');
    WidenAscii(text, wide.data());
    return wide;
}

UniqueBstr BstrFromAnsi(std::string_view text) {
    if (text.empty()) return {};
    if (IsAscii(text)) {
        UniqueBstr wide = UniqueBstr::Allocate(text.size());
        WidenAscii(text, wide.Get());
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
