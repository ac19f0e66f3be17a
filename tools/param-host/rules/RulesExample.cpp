#include "rules/RulesExample.h"

#include "FieldExplain.h"
#include "FieldObscure.h"
#include "NumberText.h"

#include "util/AnsiText.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr size_t OutBufferSize = 4096;

// The value text an example starts from: a name, a flag, or a number in the range.
std::optional<std::string> ExampleText(const FieldRule& rule) {
    if (rule.nameCount) return std::string(rule.names[0].name);
    if (rule.flagCount) return std::string(rule.flags[0].name);
    if (!rule.hasMin && !rule.hasMax) return std::nullopt;
    const double middle = rule.hasMin && rule.hasMax ? (rule.min + rule.max) / 2 : rule.hasMin ? rule.min : rule.max;
    std::array<char, 64> text{};
    FormatSignificant(middle, 15, text.data(), text.size());
    return std::string(text.data());
}

void SetText(FieldValue& value, std::string_view text) {
    text.copy(value.text, sizeof value.text - 1);
    value.text[std::min(text.size(), sizeof value.text - 1)] = '\0';
}

// A raw value every type holds: 12.5 for a float or an ascii number, a
// device name for a text (a time writes its own), else 1234 (-1234 for
// sbcd) or, for a narrower number, its highest bit.
FieldValue TypicalValue(const FieldRule& rule) {
    FieldValue value{};
    value.kind = RuleValueKind(&rule);
    const unsigned bits = NumberBits(&rule);
    if (value.kind == KindFloat)
        value.as.f = 12.5;
    else if (rule.type == FieldAscii && rule.base == 10)
        SetText(value, "12.5");
    else if (rule.type == FieldText)
        SetText(value, "UPS-3000");
    else if (rule.type == FieldSbcd)
        value.as.s = -1234;
    else if (value.kind != KindText)
        value.as.u = rule.type == FieldBcd || bits >= 12 ? 1234 : uint64_t{1} << (bits - 1);
    return value;
}

// An ascii field writes the example's number as it is; the other types hold
// the raw number Obscure finds for it.
FieldValue ExampleValue(const FieldRule& rule) {
    FieldValue value{};
    const auto text = ExampleText(rule);
    if (text && rule.type == FieldAscii && rule.base == 10) {
        SetText(value, *text);
        return value;
    }
    if (text && ReadFieldValue(&rule, text->c_str(), &value)) return value;
    return TypicalValue(rule);
}

// The power of ten a field holds at scale_exponent_at: the rule's default
// for Obscure, else 0, in the rule's byte order, the bytes between them 0.
void AppendScaleExponent(const FieldRule& rule, std::vector<uint8_t>& field) {
    const auto at = static_cast<size_t>(rule.scaleExponentAt);
    field.resize(std::max(field.size(), at + 2), rule.bias);
    const auto exponent = static_cast<uint16_t>(rule.hasScaleExponent ? rule.scaleExponent : 0);
    const uint8_t high = static_cast<uint8_t>(exponent >> 8), low = static_cast<uint8_t>(exponent);
    field[at] = static_cast<uint8_t>((rule.order.swapBytes ? low : high) + rule.bias);
    field[at + 1] = static_cast<uint8_t>((rule.order.swapBytes ? high : low) + rule.bias);
}

}  // namespace

std::optional<ExplainedField> ExplainRuleField(const FieldRule& rule, const std::vector<uint8_t>& field) {
    FieldValue read{};
    std::string valueText(OutBufferSize, '\0'), displayText(OutBufferSize, '\0');
    ExplainedField explained;
    if (!DecodeField(&rule, field.data(), field.size(), &read) ||
        !ExplainField(&rule, &read, valueText.data(), displayText.data(), OutBufferSize, &explained.explainCode))
        return std::nullopt;
    explained.valueText = valueText.substr(0, valueText.find('\0'));
    explained.displayText = displayText.substr(0, displayText.find('\0'));
    return explained;
}

RuleExample ExampleOfRule(const FieldRule& rule) {
    const FieldValue written = ExampleValue(rule);
    RuleExample example;
    std::array<uint8_t, FieldMaxBytes> bytes{};
    example.field.assign(bytes.begin(), bytes.begin() + EncodeField(&rule, &written, bytes.data()));
    if (rule.scaleExponentAt >= 0) AppendScaleExponent(rule, example.field);
    const auto explained = ExplainRuleField(rule, example.field);
    if (!explained) return example;
    example.valueText = WideFromAnsi(explained->valueText);
    example.displayText = WideFromAnsi(explained->displayText);
    example.explainCode = explained->explainCode;
    std::string digits(OutBufferSize, '\0');
    if (ObscureField(&rule, explained->valueText.data(), explained->valueText.size(), 0, digits.data(), OutBufferSize))
        example.digits = WideFromAnsi(digits.substr(0, digits.find('\0')));
    return example;
}
