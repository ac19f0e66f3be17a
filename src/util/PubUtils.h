#pragma once
// Conversions of 8-bit text.

#include <cstdint>
#include <string>
#include <string_view>

// Field `index` (from 0) of `text` cut at every `delimiter`, unchanged. An
// index past the last field gives the last field (an empty text, or one
// without the delimiter, gives its whole text for index 0 and an empty text
// for every other); a negative index gives an empty text.
std::string GetDelimitedField(std::string_view text, int32_t index, char delimiter);
