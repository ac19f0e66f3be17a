#pragma once
// Texts cross the component's interfaces as BSTRs (UTF-16) and live inside it
// as 8-bit strings in the system ANSI code page; these convert at the border.
// A converted text keeps its full length, zero characters included.

#include "util/UniqueBstr.h"

#include <string>
#include <string_view>

// True when every character is ASCII (below 0x80): such a text is the same
// in every ANSI code page, one byte per character.
bool IsAscii(std::wstring_view text) noexcept;

std::string AnsiFromWide(std::wstring_view text);
std::string AnsiFromBstr(BSTR text);
std::wstring WideFromAnsi(std::string_view text);
UniqueBstr BstrFromAnsi(std::string_view text);
