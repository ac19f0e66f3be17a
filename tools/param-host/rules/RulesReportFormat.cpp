#include "rules/RulesReportFormat.h"

#include "common/JsonOutput.h"
#include "common/OutputFormat.h"

#include <cstdint>
#include <cstdio>

namespace {

// Texts are joined by appending to a std::string first: a literal prepended
// to a temporary string trips a false -Wrestrict in GCC 12.
std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string joined;
    for (std::string_view part : parts) joined.append(part);
    return joined;
}

std::string FieldHex(const std::vector<uint8_t>& field) {
    std::string hex;
    for (uint8_t byte : field) {
        char digits[4];
        std::snprintf(digits, sizeof digits, hex.empty() ? "%02X" : " %02X", byte);
        hex += digits;
    }
    return hex;
}

std::string DigitsText(const RuleExample& example) {
    return example.digits ? Joined({"digits ", Utf8FromWide(*example.digits)}) : "declined";
}

std::string ExampleText(const RuleExample& example) {
    return Joined({"field ", FieldHex(example.field), " -> value text ", JsonString(example.valueText),
                   ", display text ", JsonString(example.displayText), ", explain code ",
                   std::to_string(example.explainCode), "; Obscure ", JsonString(example.valueText), " -> ",
                   DigitsText(example)});
}

std::string SectionText(const SectionReport& section) {
    const std::string place =
        Joined({"[", std::to_string(section.paramId), "] (line ", std::to_string(section.line), ") "});
    if (!section.example) return place + "declines: the component's built-in path explains it\n";
    return Joined({place, ExampleText(*section.example), "\n"});
}

ordered_json ExampleJson(const RuleExample& example) {
    return {{"field", FieldHex(example.field)},
            {"valueText", JsonValue(example.valueText)}, {"displayText", JsonValue(example.displayText)},
            {"explainCode", example.explainCode}, {"digits", JsonValue(example.digits)}};
}

ordered_json SectionJson(const SectionReport& section) {
    return {{"paramId", section.paramId}, {"line", section.line}, {"declines", section.declines},
            {"example", section.example ? ExampleJson(*section.example) : ordered_json()}};
}

ordered_json ProblemJson(const RuleProblemReport& problem) {
    return {{"line", problem.line}, {"reason", JsonValue(problem.reason)}};
}

// The field's last byte, in 64 bits: start and count may each be near INT32_MAX.
int64_t FrameEnd(const FrameFieldReport& field) { return int64_t{field.start} + field.count - 1; }

std::string FramePlace(const FrameFieldReport& field) {
    return Joined({"frame [", std::to_string(field.paramId), "] bytes ", std::to_string(field.start), " to ",
                   std::to_string(FrameEnd(field)), field.hex ? " (hex)" : "", ": "});
}

std::string FrameFieldText(const FrameFieldReport& field) {
    if (field.declineReason) return Joined({FramePlace(field), "declines: ", Utf8FromWide(*field.declineReason), "\n"});
    return Joined({FramePlace(field), "field ", FieldHex(field.field), " -> value text ", JsonString(field.valueText),
                   ", display text ", JsonString(field.displayText), ", explain code ",
                   std::to_string(field.explainCode), "\n"});
}

ordered_json FrameFieldJson(const FrameFieldReport& field) {
    const bool declined = field.declineReason.has_value();
    const auto unlessDeclined = [declined](ordered_json json) { return declined ? ordered_json() : json; };
    return {{"paramId", field.paramId}, {"line", field.line}, {"start", field.start}, {"count", field.count},
            {"hex", field.hex}, {"field", FieldHex(field.field)},
            {"valueText", unlessDeclined(JsonValue(field.valueText))},
            {"displayText", unlessDeclined(JsonValue(field.displayText))},
            {"explainCode", unlessDeclined(field.explainCode)}, {"declineReason", JsonValue(field.declineReason)}};
}

size_t DecliningFrameFields(const RulesReport& report) {
    if (!report.frameFields) return 0;
    size_t declining = 0;
    for (const FrameFieldReport& field : *report.frameFields) declining += field.declineReason.has_value();
    return declining;
}

// The last line: the rules' problems, and the frame's fields that decline,
// which fail the check as well.
std::string CountText(const RulesReport& report) {
    const size_t problems = report.problems.size(), declining = DecliningFrameFields(report);
    std::string text = problems == 0 ? "no problems"
                                     : Joined({std::to_string(problems), problems == 1 ? " problem" : " problems"});
    if (declining)
        text += Joined({problems == 0 ? " in the rules; " : "; ", std::to_string(declining),
                        declining == 1 ? " frame field declines" : " frame fields decline"});
    return text + "\n";
}

}  // namespace

std::string FormatRulesText(const RulesReport& report) {
    const std::string file = Utf8FromWide(report.path);
    std::string text = report.encoding.empty() ? Joined({file, ": not read as text\n"})
                                               : Joined({file, ": read as ", Utf8FromWide(report.encoding), "\n"});
    for (const RuleProblemReport& problem : report.problems)
        text += Joined({file, ":", std::to_string(problem.line), ": ", Utf8FromWide(problem.reason), "\n"});
    for (const RuleProblemReport& warning : report.warnings)
        text += Joined({file, ":", std::to_string(warning.line), ": warning: ", Utf8FromWide(warning.reason), "\n"});
    for (const SectionReport& section : report.sections) text += SectionText(section);
    if (report.frameFields)
        for (const FrameFieldReport& field : *report.frameFields) text += FrameFieldText(field);
    return text + CountText(report);
}

std::string FormatRulesJson(const RulesReport& report) {
    ordered_json json = {{"file", JsonValue(report.path)}, {"encoding", JsonValue(report.encoding)},
                         {"problems", JsonItems(report.problems, ProblemJson)},
                         {"warnings", JsonItems(report.warnings, ProblemJson)},
                         {"sections", JsonItems(report.sections, SectionJson)}};
    if (report.frameFields) {
        json["frame"] = JsonItems(*report.frameFields, FrameFieldJson);
        json["frameDeclines"] = DecliningFrameFields(report);
    }
    return JsonOutput(json) + "\n";
}
