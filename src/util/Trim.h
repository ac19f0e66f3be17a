#pragma once
// Removes leading and trailing characters whose code is 32 or below (blanks
// and control characters), the trimming that library paths and option texts get.

#include <string_view>

template <typename Char>
std::basic_string_view<Char> TrimControl(std::basic_string_view<Char> text) {
    auto isControl = [](Char c) { return static_cast<unsigned>(c) <= 32u; };
    while (!text.empty() && isControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && isControl(text.back())) text.remove_suffix(1);
    return text;
}
