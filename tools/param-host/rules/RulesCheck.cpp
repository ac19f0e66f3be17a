#include "rules/RulesCheck.h"

#include "common/CommandLine.h"
#include "common/HostFailure.h"
#include "rules/RulesReport.h"
#include "rules/RulesReportFormat.h"

#include <optional>

namespace {

constexpr wchar_t CommandName[] = L"check-rules";

const char* RulesCheckHelp() {
    return R"(param_host check-rules: checks a field-rules file as FieldRules.dll reads it.

Usage:
  param_host check-rules FILE.ini [--frame HEX] [--json]

Lists every problem with its line and the reason (a section with a problem
declines, so the component's built-in path explains that parameter), every
warning (a rule that works but whose decimals round away digits, so that
Obscure cannot always go back), and for each section one example field with
the value text, display text and explain code the host would show, and the
digits Obscure sends back for that value.

  --frame HEX  decode a whole frame (hex bytes, blanks allowed): every section
               with the keys start and count (1-based, as the host's start
               byte; hex = yes for a hex-encoded parameter) shows its field's
               value text, display text and explain code, or why it declines
  --json       print one JSON object instead of text

Exit status: 0 the file has no problem (warnings allowed) and no field of the
frame declines; 1 otherwise; 2 bad input (no file given, an unknown option, a
frame that is no hex, a file that cannot be read).
)";
}

struct RulesCheckRequest {
    bool help = false;
    bool json = false;
    std::wstring path;
    std::optional<std::vector<uint8_t>> frame;
};

std::vector<uint8_t> FrameArgument(const std::vector<std::wstring>& arguments, size_t at) {
    if (at >= arguments.size()) throw BadInput(L"check-rules: --frame needs the frame's bytes in hex");
    try {
        return ParseHexBytes(arguments[at]);
    } catch (const HostFailure& failure) {
        throw BadInput(L"check-rules: --frame: " + failure.message);
    }
}

bool FrameDeclines(const RulesReport& report) {
    if (!report.frameFields) return false;
    for (const FrameFieldReport& field : *report.frameFields)
        if (field.declineReason) return true;
    return false;
}

RulesCheckRequest ParseRulesCheck(const std::vector<std::wstring>& arguments) {
    RulesCheckRequest request;
    std::optional<std::wstring> path;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (argument == L"--help" || argument == L"-h")
            request.help = true;
        else if (argument == L"--json")
            request.json = true;
        else if (argument == L"--frame")
            request.frame = FrameArgument(arguments, ++i);
        else if (argument.starts_with(L"-"))
            throw BadInput(L"check-rules: unknown option '" + argument + L"' (see check-rules --help)");
        else if (path)
            throw BadInput(L"check-rules: one rules file at a time, not also '" + argument + L"'");
        else
            path = argument;
    }
    if (!path && !request.help) throw BadInput(L"check-rules needs a rules file: param_host check-rules FILE.ini");
    request.path = path.value_or(L"");
    return request;
}

}  // namespace

bool IsRulesCheck(const std::vector<std::wstring>& arguments) {
    return !arguments.empty() && arguments.front() == CommandName;
}

RulesCheckOutcome RunRulesCheck(const std::vector<std::wstring>& arguments) {
    const RulesCheckRequest request = ParseRulesCheck(arguments);
    if (request.help) return {RulesCheckHelp(), ExitSucceeded};
    const RulesReport report = ReportOnRulesFile(request.path, request.frame);
    return {request.json ? FormatRulesJson(report) : FormatRulesText(report),
            report.problems.empty() && !FrameDeclines(report) ? ExitSucceeded : ExitOperationFailed};
}
