#pragma once
// Spots an output text that is not GBK (the host shows "?" for its bytes),
// and one that was written in UTF-8 rather than GBK, the usual result of a
// source file saved as UTF-8: the operator then sees 掳C for °C, since those
// bytes are valid GBK too. Real GBK text seldom forms well-formed UTF-8, and
// when it does, it decodes to characters nobody writes (combining marks,
// Hebrew points) or its GBK reading is made of common characters (未, 1路),
// so a text counts only when its every multi-byte sequence decodes to a
// sign, Greek letter or CJK character and its GBK reading holds a character
// rare in Chinese text.

#include <optional>
#include <string>
#include <string_view>

// The text as UTF-8 reads it, when it looks like UTF-8 source text with at
// least one multi-byte sequence; nothing otherwise.
std::optional<std::wstring> ReadsAsUtf8(std::string_view bytes);

// The text as the operator sees it: GBK (code page 936).
std::wstring ReadAsGbk(std::string_view bytes);

// UTF-8 text (a record of the child, SubjectProtocol.h) as a wide string.
std::wstring ReadAsUtf8(std::string_view bytes);

// Whether every byte belongs to a character of code page 936 (GBK).
bool IsGbkText(std::string_view bytes);

// The text as the host shows it: "?" for each byte that is not GBK.
std::wstring ShownAsGbk(std::string_view bytes);

// When the output `name` holds bytes that are not GBK: L"display out holds
// the bytes 32 35 B0, which are not GBK text: the host shows "25?"".
std::optional<std::wstring> NotGbkMistake(const wchar_t* name, std::string_view bytes);

// When the output `name` holds UTF-8 text: bytes that form UTF-8 of common
// characters or units, and are either not GBK or read as GBK with characters
// rare in Chinese text (a text of GB2312 level-1 characters alone never is): L"display out holds the bytes
// 32 31 2E 35 20 C2 B0 43, UTF-8 for "21.5 °C": the operator sees "21.5 掳C"".
std::optional<std::wstring> Utf8Mistake(const wchar_t* name, std::string_view bytes);

inline constexpr wchar_t Utf8MistakeFix[] =
    L"write texts as GBK bytes: spell them out as the sample does (\"\\xA1\\xE3\" for °), or compile with "
    L"-fexec-charset=GBK";
