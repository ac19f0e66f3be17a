#include "HandleArgument.h"

#include <cstdint>
#include <cwchar>

std::wstring HandleArgument(HANDLE handle) { return std::to_wstring(reinterpret_cast<uintptr_t>(handle)); }

HANDLE HandleFromArgument(const wchar_t* text) noexcept {
    const size_t length = std::wcslen(text);
    if (!length || length > 10 || std::wcsspn(text, L"0123456789") != length) return nullptr;
    const unsigned long long value = std::wcstoull(text, nullptr, 10);
    return value > UINT32_MAX ? nullptr : reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
}
