#pragma once
// A list of parameter ids as an operator writes it: numbers and ranges
// separated by commas, e.g. "1-16,5000". Blanks around the parts are
// allowed; an empty list holds every id.

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

class ParamIdList {
public:
    // The list, or none when the text does not parse (a part that is no
    // number or range, a range that ends before it starts).
    static std::optional<ParamIdList> Parse(std::string_view text);

    bool Contains(int32_t id) const noexcept;

private:
    std::vector<std::pair<int32_t, int32_t>> FRanges;  // inclusive; empty: every id
};
