#pragma once
// The acceptance test that the host's parameter object answers CheckValueText
// with: every text, or a decimal number within an inclusive range.

#include <optional>
#include <string>
#include <string_view>

class ValueRule {
public:
    // Accepts every text.
    ValueRule() = default;

    // "any", or "MIN..MAX" with two decimal numbers (e.g. "0..255", "-1.5..1.5");
    // nothing when the rule cannot be read.
    static std::optional<ValueRule> Parse(std::wstring_view rule);

    bool Accepts(std::wstring_view text) const;

private:
    ValueRule(double minimum, double maximum) : FRange{{minimum, maximum}} {}

    struct Range {
        double minimum;
        double maximum;
    };
    std::optional<Range> FRange;
};

// A whole text read as a decimal number (surrounding blanks not allowed).
std::optional<double> ParseDecimal(std::wstring_view text);
