#include "check/TextEncoding.h"

#include "check/ByteText.h"

#include <windows.h>

namespace {

// Characters a UTF-8 source plausibly holds in a text for the operator:
// Latin-1 signs (° µ), Greek letters (Ω μ), punctuation, letter-like and
// technical symbols (℃), CJK characters and full-width forms.
bool IsPlausible(char32_t c) {
    return (c >= 0xA0 && c <= 0xFF) || (c >= 0x391 && c <= 0x3C9) || (c >= 0x2000 && c <= 0x2BFF) ||
           (c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

// The length of the UTF-8 sequence that `lead` starts (2 to 4), 0 for none.
int SequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

std::wstring Decode(std::string_view bytes, UINT codePage) {
    if (bytes.empty()) return {};
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    std::wstring text(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), needed);
    return text;
}

}  // namespace

std::optional<std::wstring> ReadsAsUtf8(std::string_view bytes) {
    bool multiByte = false;
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const int length = SequenceLength(lead);
        if (length == 0 || i + static_cast<size_t>(length) > bytes.size()) return std::nullopt;
        char32_t c = lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
            if (!IsContinuation(next)) return std::nullopt;
            c = c << 6 | (next & 0x3F);
        }
        const bool overlong = length == 3 && c < 0x800;
        if (overlong || !IsPlausible(c)) return std::nullopt;
        multiByte = true;
        i += static_cast<size_t>(length);
    }
    if (!multiByte) return std::nullopt;
    return Decode(bytes, CP_UTF8);
}

std::wstring ReadAsGbk(std::string_view bytes) { return Decode(bytes, 936); }

std::optional<std::wstring> Utf8Mistake(const wchar_t* name, std::string_view bytes) {
    const std::optional<std::wstring> utf8 = ReadsAsUtf8(bytes);
    if (!utf8) return std::nullopt;
    return std::wstring(name) + L" holds the bytes " + HexBytes(bytes) + L", UTF-8 for \"" + *utf8 +
           L"\": the operator sees " + ShownText(bytes);
}
