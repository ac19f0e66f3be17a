#include "common/ValueRule.h"

#include <cmath>
#include <cwchar>
#include <cwctype>

std::optional<double> ParseDecimal(std::wstring_view text) {
    if (text.empty() || std::iswspace(text.front())) return std::nullopt;
    const std::wstring terminated(text);
    wchar_t* end = nullptr;
    const double value = std::wcstod(terminated.c_str(), &end);
    if (end != terminated.c_str() + terminated.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<ValueRule> ValueRule::Parse(std::wstring_view rule) {
    if (rule == L"any") return ValueRule();
    const size_t separator = rule.find(L"..");
    if (separator == std::wstring_view::npos) return std::nullopt;
    const auto minimum = ParseDecimal(rule.substr(0, separator));
    const auto maximum = ParseDecimal(rule.substr(separator + 2));
    if (!minimum || !maximum || *minimum > *maximum) return std::nullopt;
    return ValueRule(*minimum, *maximum);
}

bool ValueRule::Accepts(std::wstring_view text) const {
    if (!FRange) return true;
    const auto value = ParseDecimal(text);
    return value && *value >= FRange->minimum && *value <= FRange->maximum;
}
