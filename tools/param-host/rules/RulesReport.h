#pragma once
// What check-rules finds in a field-rules file: every problem with its line,
// and for each section one field decoded by the same code FieldRules.dll
// runs, so that the author sees what the host will show.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RuleExample {
    std::vector<uint8_t> field;  // the field's bytes, in frame order
    std::wstring valueText, displayText;
    uint16_t explainCode = 0;
    std::optional<std::wstring> digits;  // what Obscure sends for the value text; empty when it declines
};

struct SectionReport {
    int32_t paramId = 0;
    int line = 0;
    bool declines = false;  // a problem in the section: the parameter is left to the component
    std::optional<RuleExample> example;
};

// check-rules --frame: a section's field in the user's frame, explained or declined.
struct FrameFieldReport {
    int32_t paramId = 0;
    int line = 0;
    int start = 0, count = 0;  // 1-based, as the host's start byte
    bool hex = false;          // the field is hex-encoded
    std::vector<uint8_t> field;  // the frame's bytes from start, count of them
    std::wstring valueText, displayText;
    uint16_t explainCode = 0;
    std::optional<std::wstring> declineReason;  // set when the rule declines
};

struct RuleProblemReport {
    int line = 0;
    std::wstring reason;
};

struct RulesReport {
    std::wstring path;
    std::wstring encoding;  // how the file was read
    std::vector<RuleProblemReport> problems;
    std::vector<RuleProblemReport> warnings;  // what works but may surprise; not problems
    std::vector<SectionReport> sections;  // in the order of their parameter ids
    std::optional<std::vector<FrameFieldReport>> frameFields;  // with --frame: the sections with start and count
};

// Raises a HostFailure (bad input) for a file that cannot be read at all.
// With a frame, decodes the fields of the sections that place them in it.
RulesReport ReportOnRulesFile(const std::wstring& path,
                              const std::optional<std::vector<uint8_t>>& frame = std::nullopt);
