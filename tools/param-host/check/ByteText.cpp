#include "check/ByteText.h"

#include "check/TextEncoding.h"

#include <cwchar>

std::wstring WideAscii(std::string_view name) { return {name.begin(), name.end()}; }

std::wstring HexBytes(std::string_view bytes, size_t limit) {
    if (bytes.empty()) return L"(none)";
    std::wstring text;
    for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
        wchar_t byte[4];
        std::swprintf(byte, 4, L"%02X", static_cast<unsigned>(static_cast<unsigned char>(bytes[i])));
        text += (i ? L" " : L"") + std::wstring(byte);
    }
    if (bytes.size() > limit) text += L" ... (" + std::to_wstring(bytes.size()) + L" bytes)";
    return text;
}

std::wstring ShownText(std::string_view bytes, size_t limit) {
    std::wstring text = ReadAsGbk(bytes);
    if (text.size() > limit) text = text.substr(0, limit) + L"...";
    return L"\"" + text + L"\"";
}
