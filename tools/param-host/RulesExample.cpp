#include "RulesExample.h"

#include "FieldExplain.h"
#include "FieldObscure.h"
#include "NumberText.h"

#include "util/AnsiText.h"

#include <array>

namespace {

constexpr size_t OutBufferSize = 4096;

// The value text an example starts from: a name, or a number in the range.
std::optional<std::string> ExampleText(const FieldRule& rule) {
    if (rule.nameCount) return std::string(rule.names[0].name);
    if (!rule.hasMin && !rule.hasMax) return std::nullopt;
    const double middle = rule.hasMin && rule.hasMax ? (rule.min + rule.max) / 2 : rule.hasMin ? rule.min : rule.max;
    std::array<char, 64> text{};
    FormatSignificant(middle, 15, text.data(), text.size());
    return std::string(text.data());
}

// A raw number every type holds: 12.5 for a float, else 1234 or, for a
// narrower number, its highest bit.
FieldValue TypicalValue(const FieldRule& rule) {
    FieldValue value{};
    value.kind = FieldTypeInfoOf(rule.type)->kind;
    const unsigned bits = NumberBits(&rule);
    if (value.kind == KindFloat)
        value.as.f = 12.5;
    else
        value.as.u = rule.type == FieldBcd || bits >= 12 ? 1234 : uint64_t{1} << (bits - 1);
    return value;
}

FieldValue ExampleValue(const FieldRule& rule) {
    FieldValue value{};
    const auto text = ExampleText(rule);
    if (text && ReadFieldValue(&rule, text->c_str(), &value)) return value;
    return TypicalValue(rule);
}

}  // namespace

RuleExample ExampleOfRule(const FieldRule& rule) {
    const FieldValue written = ExampleValue(rule);
    RuleExample example;
    std::array<uint8_t, 8> bytes{};
    example.field.assign(bytes.begin(), bytes.begin() + EncodeField(&rule, &written, bytes.data()));

    FieldValue read{};
    std::string valueText(OutBufferSize, '\0'), displayText(OutBufferSize, '\0'), digits(OutBufferSize, '\0');
    if (!DecodeField(&rule, example.field.data(), example.field.size(), &read)) return example;
    ExplainField(&rule, &read, valueText.data(), displayText.data(), OutBufferSize, &example.explainCode);
    valueText.resize(valueText.find('\0'));
    displayText.resize(displayText.find('\0'));
    example.valueText = WideFromAnsi(valueText);
    example.displayText = WideFromAnsi(displayText);
    if (ObscureField(&rule, valueText.data(), valueText.size(), 0, digits.data(), OutBufferSize))
        example.digits = WideFromAnsi(digits.substr(0, digits.find('\0')));
    return example;
}
