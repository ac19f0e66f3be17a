#pragma once
// The two forms in which the program prints an outcome: readable text and
// JSON, both UTF-8.

#include "Outcome.h"

#include <string>
#include <string_view>

std::string FormatText(const Outcome& outcome, bool withCalls);
std::string FormatJson(const Outcome& outcome, bool withCalls);

// A text as a JSON string literal, quotes included.
std::string JsonString(std::wstring_view text);
std::string Utf8FromWide(std::wstring_view text);
// The HRESULT as 0x followed by eight upper-case hex digits.
std::string HresultText(HRESULT result);
