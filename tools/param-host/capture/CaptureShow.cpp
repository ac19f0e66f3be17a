#include "capture/CaptureShow.h"

#include "capture/CallResults.h"
#include "capture/ReplayFormat.h"
#include "capture/ReplayRun.h"
#include "common/OutputFormat.h"

#include <windows.h>

#include <nlohmann/json.hpp>

#include <cstdio>

namespace {

using nlohmann::ordered_json;

// "2026-12-08 04:30:01.123" (UTC), with `separator` between date and time.
std::string TimeText(uint64_t time, char separator) {
    FILETIME file{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    SYSTEMTIME utc{};
    FileTimeToSystemTime(&file, &utc);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u%c%02u:%02u:%02u.%03u", utc.wYear, utc.wMonth, utc.wDay, separator,
                  utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds);
    return text;
}

// The columns of one record: what the host held after it.
struct ShownCall {
    std::string time, operation, paramId, field;
    ordered_json valueText, displayText, explainCode;
};

ShownCall Shown(const CapturedCall& call) {
    const CallResults results = ResultsOf(call);
    ShownCall shown{TimeText(call.time, ' '), OperationName(call.operation),
                    call.paramId ? std::to_string(*call.paramId) : "?", FieldOf(call), nullptr, nullptr, nullptr};
    if (call.operation == CaptureOperation::Edit && call.editValue) shown.valueText = JsonText(*call.editValue);
    if (call.operation == CaptureOperation::Obscure) shown.valueText = shown.field;
    if (results.valueText) shown.valueText = JsonText(*results.valueText);
    if (results.displayText) shown.displayText = JsonText(*results.displayText);
    if (results.explainCode) shown.explainCode = *results.explainCode;
    return shown;
}

// The columns a UTF-8 text takes on a console: two for each character from
// the CJK ranges on (U+2E80 and above), one for any other.
size_t Columns(const std::string& text) {
    size_t columns = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<uint8_t>(text[i]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
        const bool wide = byte >= 0xE3 || (byte == 0xE2 && i + 1 < text.size() && static_cast<uint8_t>(text[i + 1]) >= 0xBA);
        columns += wide ? 2 : 1;
    }
    return columns;
}

std::string Padded(const std::string& text, size_t width) {
    const size_t columns = Columns(text);
    return text + std::string(width > columns ? width - columns : 0, ' ');
}

// Obscure's digits as a text of decimal digits ("3000"), "-" for none.
std::string DigitsText(const std::optional<std::string>& digits) {
    if (!digits) return "-";
    std::string text;
    for (const char digit : *digits) text += std::to_string(static_cast<uint8_t>(digit));
    return text;
}

}  // namespace

std::string CaptureShowText(const CaptureSet& captures, const ParamIdList& paramIds) {
    std::vector<std::vector<std::string>> rows{{"time", "operation", "param", "field", "value", "display", "code"}};
    for (const SourcedCall& sourced : captures.calls) {
        if (!paramIds.Contains(sourced.call.paramId.value_or(0))) continue;
        const ShownCall shown = Shown(sourced.call);
        const bool obscure = sourced.call.operation == CaptureOperation::Obscure;
        const std::string value = obscure ? "digits " + DigitsText(sourced.call.digits) : shown.valueText.dump();
        // Obscure's field is the host's value text: quoted as the other texts
        // are, so that no character of it can start a line of its own.
        const std::string field = shown.field.empty() ? "-" : obscure ? ordered_json(shown.field).dump() : shown.field;
        rows.push_back({shown.time, shown.operation, shown.paramId, field, value, shown.displayText.dump(),
                        shown.explainCode.dump()});
    }
    std::vector<size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows)
        for (size_t column = 0; column < row.size(); ++column) widths[column] = std::max(widths[column], Columns(row[column]));
    std::string text = CaptureNotes(captures);
    for (const auto& row : rows) {
        std::string line;
        for (size_t column = 0; column < row.size(); ++column)
            line += column + 1 < row.size() ? Padded(row[column], widths[column] + 2) : row[column];
        text += line + "\n";
    }
    return text;
}

std::string CaptureShowJson(const CaptureSet& captures, const ParamIdList& paramIds) {
    ordered_json records = ordered_json::array();
    for (const SourcedCall& sourced : captures.calls) {
        const CapturedCall& call = sourced.call;
        if (!paramIds.Contains(call.paramId.value_or(0))) continue;
        const ShownCall shown = Shown(call);
        const CallResults results = ResultsOf(call);
        ordered_json record = {{"time", TimeText(call.time, 'T') + "Z"},
                               {"operation", shown.operation},
                               {"paramId", call.paramId ? ordered_json(*call.paramId) : ordered_json()},
                               {"field", shown.field},
                               {"valueText", shown.valueText},
                               {"displayText", shown.displayText},
                               {"explainCode", shown.explainCode}};
        record["bitText"] = results.bitText ? ordered_json(JsonText(*results.bitText)) : ordered_json();
        record["digits"] = call.digits ? ordered_json(DigitsText(call.digits)) : ordered_json();
        record["status"] = results.status ? ordered_json(*results.status) : ordered_json();
        record["hresult"] = HresultText(results.hresult);
        record["library"] = JsonText(call.libraryPath);
        record["durationMicroseconds"] = call.duration / 10.0;
        record["file"] = Utf8FromWide(sourced.file);
        record["offset"] = call.offset;
        records.push_back(record);
    }
    ordered_json json;
    json["records"] = records;
    json["damaged"] = DamagedJson(captures);
    return json.dump() + "\n";
}
