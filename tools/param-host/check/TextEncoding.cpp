#include "check/TextEncoding.h"

#include "check/ByteText.h"

#include <windows.h>

#include <algorithm>

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

bool IsAsciiAlphanumeric(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsGbkLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsGbkTrail(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

// GB2312's level-1 characters, the 3755 most used: rows 16 to 55.
bool IsLevelOneCharacter(unsigned char lead, unsigned char trail) {
    return lead >= 0xB0 && lead <= 0xD7 && trail >= 0xA1 && trail <= 0xFE && !(lead == 0xD7 && trail > 0xF9);
}

// GB2312's symbols, punctuation, digits and letters: rows 1 to 9.
bool IsLevelOneSymbol(unsigned char lead, unsigned char trail) {
    return lead >= 0xA1 && lead <= 0xA9 && trail >= 0xA1 && trail <= 0xFE;
}

// Level-1 characters seldom written in a display text whose bytes are also
// the UTF-8 of a unit sign: 掳 (°), 卤 (±), 虏 (²), 碌 (µ), 惟 (Ω), 渭 (μ).
// Common ones with such bytes (路 for ·, 鲁 for ³, 梅 for ÷) are not here.
bool IsUnitLookalike(unsigned char lead, unsigned char trail) {
    static constexpr unsigned short Lookalikes[] = {0xC2B0, 0xC2B1, 0xC2B2, 0xC2B5, 0xCEA9, 0xCEBC};
    const unsigned short code = static_cast<unsigned short>(lead << 8 | trail);
    for (const unsigned short lookalike : Lookalikes)
        if (code == lookalike) return true;
    return false;
}

// Whether the text, read as GBK, holds a character that Chinese text rarely
// holds: one outside GB2312's level-1 characters and symbols, or a unit
// look-alike among ASCII letters or digits. A text of level-1 characters
// alone never does.
bool GbkReadingHoldsRareCharacters(std::string_view bytes) {
    const bool amongAscii = std::ranges::any_of(bytes, IsAsciiAlphanumeric);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) continue;
        if (i + 1 >= bytes.size()) return true;
        const auto trail = static_cast<unsigned char>(bytes[++i]);
        if (IsLevelOneSymbol(lead, trail)) continue;
        if (!IsLevelOneCharacter(lead, trail)) return true;
        if (amongAscii && IsUnitLookalike(lead, trail)) return true;
    }
    return false;
}

}  // namespace

bool IsGbkText(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte <= 0x80) continue;  // ASCII, and 0x80 is the euro sign in code page 936
        if (!IsGbkLead(byte) || i + 1 >= bytes.size() || !IsGbkTrail(static_cast<unsigned char>(bytes[i + 1])))
            return false;
        ++i;
    }
    return true;
}

std::wstring ShownAsGbk(std::string_view bytes) {
    std::wstring shown;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const bool pair = IsGbkLead(byte) && i + 1 < bytes.size() &&
                          IsGbkTrail(static_cast<unsigned char>(bytes[i + 1]));
        if (byte <= 0x80 || pair) {
            const size_t length = pair ? 2 : 1;
            shown += ReadAsGbk(bytes.substr(i, length));
            i += length - 1;
        } else {
            shown += L'?';
        }
    }
    return shown;
}

std::optional<std::wstring> NotGbkMistake(const wchar_t* name, std::string_view bytes) {
    if (IsGbkText(bytes)) return std::nullopt;
    return std::wstring(name) + L" holds the bytes " + HexBytes(bytes) +
           L", which are not GBK text: the host shows \"" + ShownAsGbk(bytes) + L"\"";
}

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

std::wstring ReadAsUtf8(std::string_view bytes) { return Decode(bytes, CP_UTF8); }

std::optional<std::wstring> Utf8Mistake(const wchar_t* name, std::string_view bytes) {
    if (IsGbkText(bytes) && !GbkReadingHoldsRareCharacters(bytes)) return std::nullopt;
    const std::optional<std::wstring> utf8 = ReadsAsUtf8(bytes);
    if (!utf8) return std::nullopt;
    // Bytes that are GBK too ("1碌" and "1µ") may have been meant either way:
    // both readings are named.
    if (IsGbkText(bytes))
        return std::wstring(name) + L" holds the bytes " + HexBytes(bytes) + L", which read as GBK " +
               ShownText(bytes) + L" (what the operator sees) and as UTF-8 \"" + *utf8 + L"\"";
    return std::wstring(name) + L" holds the bytes " + HexBytes(bytes) + L", UTF-8 for \"" + *utf8 +
           L"\": the operator sees " + ShownText(bytes);
}
