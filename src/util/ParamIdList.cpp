#include "util/ParamIdList.h"

#include <charconv>

namespace {

std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<int32_t> ParseId(std::string_view text) {
    text = TrimBlanks(text);
    int32_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return id;
}

// "N" or "N-M"; a leading minus belongs to the first number.
std::optional<std::pair<int32_t, int32_t>> ParseRange(std::string_view part) {
    part = TrimBlanks(part);
    const size_t dash = part.find('-', 1);
    if (dash == std::string_view::npos) {
        const auto id = ParseId(part);
        if (!id) return std::nullopt;
        return std::pair{*id, *id};
    }
    const auto first = ParseId(part.substr(0, dash)), last = ParseId(part.substr(dash + 1));
    if (!first || !last || *last < *first) return std::nullopt;
    return std::pair{*first, *last};
}

}  // namespace

std::optional<ParamIdList> ParamIdList::Parse(std::string_view text) {
    ParamIdList list;
    if (TrimBlanks(text).empty()) return list;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const auto range = ParseRange(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (!range) return std::nullopt;
        list.FRanges.push_back(*range);
        if (comma == std::string_view::npos) return list;
        start = comma + 1;
    }
}

bool ParamIdList::Contains(int32_t id) const noexcept {
    if (FRanges.empty()) return true;
    for (const auto& [first, last] : FRanges)
        if (id >= first && id <= last) return true;
    return false;
}
