#include "util/AnsiText.h"

#include <climits>
#include <new>

namespace {

int CheckedLength(size_t size) {
    if (size > static_cast<size_t>(INT_MAX)) throw std::bad_alloc();
    return static_cast<int>(size);
}

}  // namespace

std::string AnsiFromWide(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = CheckedLength(text.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, result.data(), needed, nullptr, nullptr);
    return result;
}

std::string AnsiFromBstr(BSTR text) {
    return AnsiFromWide({text ? text : L"", SysStringLen(text)});
}

std::wstring WideFromAnsi(std::string_view text) {
    if (text.empty()) return {};
    const int length = CheckedLength(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring result(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, result.data(), needed);
    return result;
}

UniqueBstr BstrFromAnsi(std::string_view text) {
    return UniqueBstr::Copy(WideFromAnsi(text));
}
