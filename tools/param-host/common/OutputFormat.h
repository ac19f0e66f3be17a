#pragma once
// The pieces of text every command's output is made of: UTF-8, JSON string
// literals and HRESULTs.

#include <windows.h>

#include <string>
#include <string_view>

// A text as a JSON string literal, quotes included.
std::string JsonString(std::wstring_view text);
std::string Utf8FromWide(std::wstring_view text);
// The HRESULT as 0x followed by eight upper-case hex digits.
std::string HresultText(HRESULT result);
