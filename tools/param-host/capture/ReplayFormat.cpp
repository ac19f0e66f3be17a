#include "capture/ReplayFormat.h"

#include "common/OutputFormat.h"

#include <nlohmann/json.hpp>

namespace {

using nlohmann::ordered_json;

std::string TallyText(const ParamTally& tally) {
    return std::to_string(tally.calls) + (tally.calls == 1 ? " call, " : " calls, ") + std::to_string(tally.unchanged) + " unchanged, " +
           std::to_string(tally.changed) + " changed, " + std::to_string(tally.notReplayed) + " not replayed";
}

// Obscure's field is the host's value text: quoted as the results are, so
// that no character of it can start a line of its own.
std::string FieldText(const ReplayDifference& difference) {
    if (difference.field.empty()) return "(none)";
    if (difference.operation == OperationName(CaptureOperation::Obscure)) return ordered_json(difference.field).dump();
    return difference.field;
}

std::string DifferenceText(const ReplayDifference& difference) {
    std::string line = "param " + std::to_string(difference.paramId) + " " + difference.operation + " field " +
                       FieldText(difference) + ":";
    for (size_t i = 0; i < difference.changes.size(); ++i) {
        const ResultChange& change = difference.changes[i];
        line.append(i ? "; " : " ").append(change.name).append(" ").append(change.before.dump());
        line.append(" \xE2\x86\x92 ").append(change.after.dump());
    }
    return line + "\n";
}

ordered_json TallyJson(const ParamTally& tally) {
    ordered_json json;
    json["calls"] = tally.calls;
    json["unchanged"] = tally.unchanged;
    json["changed"] = tally.changed;
    json["notReplayed"] = tally.notReplayed;
    return json;
}

ordered_json ReasonsJson(const ParamTally& tally) {
    ordered_json reasons = ordered_json::array();
    for (const auto& [reason, count] : tally.reasons) reasons.push_back({{"reason", reason}, {"count", count}});
    return reasons;
}

ordered_json ChangesJson(const ReplayDifference& difference, bool after) {
    ordered_json values = ordered_json::object();
    for (const ResultChange& change : difference.changes) values[change.name] = after ? change.after : change.before;
    return values;
}

}  // namespace

std::string CaptureNotes(const CaptureSet& captures) {
    std::string notes;
    for (const SkippedRecord& skipped : captures.damaged)
        notes += "note: " + Utf8FromWide(skipped.file) + ": record at offset " + std::to_string(skipped.offset) +
                 " damaged (" + skipped.reason + "), skipped\n";
    for (const std::wstring& note : captures.notes) notes += "note: " + Utf8FromWide(note) + "\n";
    return notes;
}

ordered_json DamagedJson(const CaptureSet& captures) {
    ordered_json damaged = ordered_json::array();
    for (const SkippedRecord& skipped : captures.damaged)
        damaged.push_back({{"file", Utf8FromWide(skipped.file)}, {"offset", skipped.offset}, {"reason", skipped.reason}});
    return damaged;
}

std::string ReplayText(const ReplayReport& report, const CaptureSet& captures) {
    std::string text = CaptureNotes(captures);
    for (const ReplayDifference& difference : report.differences) text += DifferenceText(difference);
    for (const auto& [paramId, tally] : report.perParam) {
        text += "param " + std::to_string(paramId) + ": " + TallyText(tally) + "\n";
        for (const auto& [reason, count] : tally.reasons)
            text += "  not replayed: " + std::to_string(count) + " (" + reason + ")\n";
    }
    return text + "total: " + TallyText(report.total) + "\n";
}

std::string ReplayJson(const ReplayReport& report, const CaptureSet& captures) {
    ordered_json json = TallyJson(report.total);
    json["damaged"] = DamagedJson(captures);
    ordered_json differences = ordered_json::array();
    for (const ReplayDifference& difference : report.differences) {
        differences.push_back({{"paramId", difference.paramId},
                               {"operation", difference.operation},
                               {"field", difference.field},
                               {"before", ChangesJson(difference, false)},
                               {"after", ChangesJson(difference, true)}});
    }
    json["differences"] = differences;
    ordered_json perParam = ordered_json::array();
    for (const auto& [paramId, tally] : report.perParam) {
        ordered_json entry = {{"paramId", paramId}};
        entry.update(TallyJson(tally));
        entry["notReplayedReasons"] = ReasonsJson(tally);
        perParam.push_back(entry);
    }
    json["perParam"] = perParam;
    return json.dump() + "\n";
}
