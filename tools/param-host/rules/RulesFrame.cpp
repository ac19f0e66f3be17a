#include "rules/RulesFrame.h"

#include "rules/RulesExample.h"

#include "FieldDecline.h"
#include "HexField.h"

#include "util/AnsiText.h"

#include <array>
#include <cstdint>

namespace {

// The bytes the rule reads: the field's, or those its hex text stands for.
std::optional<std::vector<uint8_t>> SourceBytes(const FieldRule& rule, const std::vector<uint8_t>& field) {
    if (!rule.frameHex) return field;
    std::vector<uint8_t> bytes(field.size() / 2);
    size_t count = 0;
    if (!DecodeHexField(reinterpret_cast<const char*>(field.data()), field.size(), bytes.data(), bytes.size(), &count))
        return std::nullopt;
    bytes.resize(count);
    return bytes;
}

std::wstring WhyDeclines(const FieldRule& rule, const std::vector<uint8_t>& bytes) {
    std::array<wchar_t, RuleReasonSize> reason{};
    WhyFieldDeclines(&rule, bytes.data(), bytes.size(), reason.data());
    return reason.data();
}

FrameFieldReport DecodeFrameField(const FieldRule& rule, const std::vector<uint8_t>& frame) {
    FrameFieldReport report;
    report.paramId = rule.paramId;
    report.line = rule.line;
    report.start = rule.frameStart;
    report.count = rule.frameCount;
    report.hex = rule.frameHex;
    const size_t start = static_cast<size_t>(rule.frameStart) - 1, count = static_cast<size_t>(rule.frameCount);
    if (start >= frame.size() || count > frame.size() - start) {
        const int64_t end = int64_t{rule.frameStart} + rule.frameCount - 1;  // beyond INT32_MAX for a huge count
        report.declineReason = L"bytes " + std::to_wstring(rule.frameStart) + L" to " + std::to_wstring(end) +
                               L" are beyond the frame's " + std::to_wstring(frame.size()) + L" bytes";
        return report;
    }
    report.field.assign(frame.begin() + static_cast<ptrdiff_t>(start),
                        frame.begin() + static_cast<ptrdiff_t>(start + count));
    if (rule.broken) {
        report.declineReason = L"the section has a problem (listed above)";
        return report;
    }
    const auto bytes = SourceBytes(rule, report.field);
    if (!bytes) {
        report.declineReason = L"the hex-encoded field is not pairs of hex digits";
        return report;
    }
    const auto explained = ExplainRuleField(rule, *bytes);
    if (!explained) {
        report.declineReason = WhyDeclines(rule, *bytes);
        return report;
    }
    report.valueText = WideFromAnsi(explained->valueText);
    report.displayText = WideFromAnsi(explained->displayText);
    report.explainCode = explained->explainCode;
    return report;
}

}  // namespace

std::vector<FrameFieldReport> DecodeFrameFields(const RuleBook& book, const std::vector<uint8_t>& frame) {
    std::vector<FrameFieldReport> fields;
    for (size_t i = 0; i < book.ruleCount; ++i)
        if (book.rules[i].frameStart && book.rules[i].frameCount)
            fields.push_back(DecodeFrameField(book.rules[i], frame));
    return fields;
}
