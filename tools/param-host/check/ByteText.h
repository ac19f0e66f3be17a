#pragma once
// Bytes an extension was given or wrote, as a report shows them.

#include <string>
#include <string_view>

// An ASCII name (an export, an entry point) as a wide string.
std::wstring WideAscii(std::string_view name);

// "31 32 2E 35", the first `limit` bytes, then "... (N bytes)"; "(none)" when empty.
std::wstring HexBytes(std::string_view bytes, size_t limit = 32);

// The text as the operator sees it (GBK), quoted, shortened after `limit` characters.
std::wstring ShownText(std::string_view bytes, size_t limit = 40);
