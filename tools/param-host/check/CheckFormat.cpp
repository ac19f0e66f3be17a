#include "check/CheckFormat.h"

#include "check/ByteText.h"

#include "JsonText.h"
#include "OutputFormat.h"
#include "RulesReportFormat.h"

#include <cstdio>

namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", value);
    return text;
}

template <typename Value, typename Format>
std::string JsonOrNull(const std::optional<Value>& value, Format format) {
    return value ? format(*value) : "null";
}

std::string JsonInteger(long long value) { return std::to_string(value); }

std::string EntryPointJson(const EntryPointReport& entry) {
    const EntryPointShape& shape = ShapeOf(entry.entryPoint);
    const bool exported = !entry.exportName.empty();
    return JsonObject()
        .Add("name", JsonString(WideAscii(shape.name)))
        .Add("exportedAs", exported ? JsonString(WideAscii(entry.exportName)) : "null")
        .Add("calls", JsonInteger(entry.calls))
        .Add("accepted", JsonInteger(entry.accepted))
        .Add("declined", JsonInteger(entry.declined))
        .Add("faulted", JsonInteger(entry.faulted))
        .Add("stackBytesRemoved", JsonOrNull(entry.stackBytesRemoved, JsonInteger))
        .Add("expectedStackBytes", JsonInteger(shape.argumentCount * 4))
        .Add("paramMethods", JsonArray(entry.paramMethods, JsonString))
        .Add("microsecondsPerCall", JsonOrNull(entry.microsecondsPerCall, Number))
        .Add("builtInMicrosecondsPerCall", JsonOrNull(entry.builtInMicrosecondsPerCall, Number))
        .Add("heapBytesPerCall", JsonOrNull(entry.heapBytesPerCall, Number))
        .Add("addressBytesPerCall", JsonOrNull(entry.addressBytesPerCall, Number))
        .Close();
}

std::string UnloadJson(const UnloadReport& unload) {
    return JsonObject()
        .Add("cycles", JsonInteger(unload.cycles))
        .Add("tlsSlotsLost", JsonInteger(unload.tlsSlotsLost))
        .Add("handlesGained", JsonInteger(unload.handlesGained))
        .Add("heapBytesGained", JsonInteger(unload.heapBytesGained))
        .Add("addressBytesGained", JsonInteger(unload.addressBytesGained))
        .Add("threadsGained", JsonInteger(unload.threadsGained))
        .Add("leaks", JsonBool(unload.leaks))
        .Add("projectedLoads", JsonOrNull(unload.projectedLoads, JsonInteger))
        .Add("exhausted", unload.exhausted.empty() ? "null" : JsonString(unload.exhausted))
        .Close();
}

std::string FindingJson(const Finding& finding) {
    return JsonObject()
        .Add("kind", JsonString(WideAscii(finding.kind)))
        .Add("entryPoint", finding.entryPoint.empty() ? "null" : JsonString(WideAscii(finding.entryPoint)))
        .Add("reason", JsonString(finding.reason))
        .Add("fix", JsonString(finding.fix))
        .Close();
}

// check-rules' JSON object, as one member.
std::string RulesJson(const RulesReport& rules) {
    std::string json = FormatRulesJson(rules);
    while (!json.empty() && json.back() == '\n') json.pop_back();
    return json;
}

std::string Line(const char* label, const std::string& text) {
    char padded[32];
    std::snprintf(padded, sizeof padded, "%-15s", label);
    return padded + text + "\n";
}

std::string Join(const std::vector<std::wstring>& texts) {
    std::string joined;
    for (const std::wstring& text : texts) joined.append(joined.empty() ? "" : ", ").append(Utf8FromWide(text));
    return joined.empty() ? "none" : joined;
}

std::string EntryPointText(const EntryPointReport& entry) {
    const EntryPointShape& shape = ShapeOf(entry.entryPoint);
    if (entry.exportName.empty()) return Line(shape.name, "not exported");
    std::string text = entry.exportName == shape.name ? "exported" : "exported only as " + entry.exportName;
    text += "; " + std::to_string(entry.calls) + " calls: " + std::to_string(entry.accepted) + " accepted, " +
            std::to_string(entry.declined) + " declined, " + std::to_string(entry.faulted) + " faulted";
    std::string lines = Line(shape.name, text);
    if (entry.stackBytesRemoved)
        lines +=
            Line("", "removes " + std::to_string(*entry.stackBytesRemoved) + " bytes of arguments from the stack (" +
                         std::to_string(shape.argumentCount * 4) + " expected)");
    lines += Line("", "IParam calls: " + Join(entry.paramMethods));
    if (entry.microsecondsPerCall) {
        std::string speed = Number(*entry.microsecondsPerCall) + " µs per call on a typical field";
        if (entry.builtInMicrosecondsPerCall)
            speed += " (the component's built-in " + Utf8FromWide(shape.operation) + ": " +
                     Number(*entry.builtInMicrosecondsPerCall) + " µs)";
        lines += Line("", speed);
    }
    if (entry.heapBytesPerCall)
        lines += Line("", "left behind per call: " + Number(*entry.heapBytesPerCall) + " heap bytes, " +
                              Number(*entry.addressBytesPerCall) + " bytes of address space");
    return lines;
}

std::string UnloadText(const UnloadReport& unload) {
    std::string text = std::to_string(unload.cycles) + " load and free cycles left " +
                       std::to_string(unload.tlsSlotsLost) + " TLS slots, " + std::to_string(unload.handlesGained) +
                       " handles, " + std::to_string(unload.threadsGained) + " threads, " +
                       std::to_string(unload.heapBytesGained) + " heap bytes and " +
                       std::to_string(unload.addressBytesGained / 1024) + " KiB of address space behind";
    if (unload.stoppedEarly) text += " (stopped early: the library stopped loading or the slots ran low)";
    return Line("unload", text);
}

}  // namespace

std::string FormatCheckText(const CheckReport& report) {
    std::string text = Line("library", Utf8FromWide(report.library));
    for (const EntryPointReport& entry : report.entryPoints) text += EntryPointText(entry);
    if (report.unload) text += UnloadText(*report.unload);
    if (!report.unusedExports.empty()) {
        std::string names;
        for (const std::string& name : report.unusedExports) names.append(names.empty() ? "" : ", ").append(name);
        text += Line("other exports", names + " (not used by the component, never called)");
    }
    if (report.rules) text += "rules file:\n" + FormatRulesText(*report.rules);
    for (const std::wstring& note : report.notes) text += "note: " + Utf8FromWide(note) + "\n";
    for (const Finding& finding : report.findings) {
        const std::string where = finding.entryPoint.empty() ? "" : finding.entryPoint + ": ";
        text += "problem: " + where + Utf8FromWide(finding.reason) + "\n";
        text += "  fix: " + Utf8FromWide(finding.fix) + "\n";
    }
    const size_t problems = report.findings.size();
    text += problems == 0 ? "no problems found\n"
                          : std::to_string(problems) + (problems == 1 ? " problem" : " problems") + " found\n";
    return text;
}

std::string FormatCheckJson(const CheckReport& report) {
    return JsonObject()
               .Add("library", JsonString(report.library))
               .Add("clean", JsonBool(report.findings.empty()))
               .Add("entryPoints", JsonArray(report.entryPoints, EntryPointJson))
               .Add("unload", report.unload ? UnloadJson(*report.unload) : "null")
               .Add("rules", report.rules ? RulesJson(*report.rules) : "null")
               .Add("unusedExports", JsonArray(report.unusedExports, [](const std::string& name) {
                        return JsonString(WideAscii(name));
                    }))
               .Add("notes", JsonArray(report.notes, JsonString))
               .Add("findings", JsonArray(report.findings, FindingJson))
               .Close() +
           "\n";
}
