#include "run/TraceFormat.h"

#include "common/JsonOutput.h"
#include "common/OutputFormat.h"

#include "check/ByteText.h"
#include "check/TextEncoding.h"

#include <cstdio>

namespace {

constexpr size_t HexLimit = 256;

std::wstring CallOutcome(const ExtensionCallTrace& call) {
    const EntryPointShape& shape = ShapeOf(call.entryPoint);
    if (!call.probe.completed)
        return L"fault " + DescribeException(call.probe.exceptionCode) + L": " + shape.withoutResult;
    if (call.probe.result != 0)
        return L"declined (result " + std::to_wstring(call.probe.result) + L"): " + shape.withoutResult;
    if (shape.writesDigits && !call.outputs.empty() && call.outputs.front().reading.text.empty())
        return std::wstring(L"accepted, but the digit text is empty: ") + shape.withoutResult;
    return L"accepted";
}

int32_t ExpectedStackBytes(const ExtensionCallTrace& call) { return ShapeOf(call.entryPoint).argumentCount * 4; }

bool StackBalanced(const ExtensionCallTrace& call) { return call.probe.stackBytesRemoved == ExpectedStackBytes(call); }

std::wstring Stack(const ExtensionCallTrace& call) {
    const std::wstring removed = std::to_wstring(call.probe.stackBytesRemoved) + L" bytes of arguments removed";
    if (StackBalanced(call)) return L"balanced: " + removed;
    const std::wstring convention = call.probe.stackBytesRemoved == 0 ? L" (cdecl, not __stdcall)" : L"";
    return L"unbalanced: " + removed + L" where " + std::to_wstring(ExpectedStackBytes(call)) + L" are passed" +
           convention + L"; the component repaired it";
}

std::wstring Registers(const ExtensionCallTrace& call) {
    if (call.probe.registerChanges == 0) return L"balanced";
    return DescribeRegisterChanges(call.probe.registerChanges) + L"; the component restored them";
}

std::wstring Output(const OutputReading& reading) {
    if (!reading.written) return L"not written (an empty text)";
    std::wstring text = HexBytes(reading.text, HexLimit) + L" (" + ShownText(reading.text) + L"), ";
    text += reading.terminated ? L"zero found within 4096 bytes" : L"no zero within 4096 bytes";
    if (reading.writtenPast) text += L", written past its 4096 bytes";
    return text;
}

std::vector<std::wstring> Warnings(const ExtensionCallTrace& call) {
    std::vector<std::wstring> warnings;
    if (ShapeOf(call.entryPoint).writesDigits) return warnings;
    for (const TracedOutput& output : call.outputs)
        if (const auto mistake = Utf8Mistake(output.name, output.reading.text))
            warnings.push_back(*mistake + L"; " + Utf8MistakeFix);
    return warnings;
}

std::string Line(const wchar_t* label, const std::wstring& value) {
    char padded[32];
    std::snprintf(padded, sizeof padded, "    %-14s", Utf8FromWide(label).c_str());
    return padded + Utf8FromWide(value) + "\n";
}

ordered_json InputJson(const TracedInput& input) {
    return {{"name", JsonValue(input.name)}, {"hex", JsonValue(HexBytes(input.bytes, HexLimit))},
            {"length", input.bytes.size()}};
}

ordered_json OutputJson(const TracedOutput& output) {
    return {{"name", JsonValue(output.name)}, {"written", output.reading.written},
            {"hex", JsonValue(HexBytes(output.reading.text, HexLimit))},
            {"zeroFound", output.reading.terminated}, {"writtenPast", output.reading.writtenPast}};
}

}  // namespace

std::string ExtensionCallText(const ExtensionCallTrace& call) {
    std::string text = "  extension call " + std::string(ShapeOf(call.entryPoint).name) + ":\n";
    for (const TracedInput& input : call.inputs) text += Line(input.name, HexBytes(input.bytes, HexLimit));
    if (call.paramId) text += Line(L"param id", std::to_wstring(*call.paramId));
    if (!call.isolatedLibrary.empty())
        text += Line(L"isolated", L"run by ParamExtensionHost.exe in " + call.isolatedLibrary +
                                      L"; its IParam calls are served from there");
    text += Line(L"result", CallOutcome(call));
    if (call.declineReason) text += Line(L"reason", *call.declineReason);
    if (!call.probe.completed) return text;
    if (call.explainCode) text += Line(L"explain code", std::to_wstring(*call.explainCode));
    for (const TracedOutput& output : call.outputs) text += Line(output.name, Output(output.reading));
    text += Line(L"stack", Stack(call));
    text += Line(L"registers", Registers(call));
    for (const std::wstring& warning : Warnings(call)) text += "    warning: " + Utf8FromWide(warning) + "\n";
    return text;
}

ordered_json ExtensionCallJson(const ExtensionCallTrace& call) {
    const bool completed = call.probe.completed;
    const auto whenCompleted = [completed](ordered_json json) { return completed ? json : ordered_json(); };
    return {{"entryPoint", ShapeOf(call.entryPoint).name},
            {"position", call.position},
            {"inputs", JsonItems(call.inputs, InputJson)},
            {"paramId", JsonValue(call.paramId)},
            {"isolatedLibrary", call.isolatedLibrary.empty() ? ordered_json() : JsonValue(call.isolatedLibrary)},
            {"completed", completed},
            {"result", whenCompleted(call.probe.result)},
            {"exceptionCode", completed ? ordered_json() : ordered_json(call.probe.exceptionCode)},
            {"outcome", JsonValue(CallOutcome(call))},
            {"declineReason", JsonValue(call.declineReason)},
            {"explainCode", JsonValue(call.explainCode)},
            {"outputs", JsonItems(call.outputs, OutputJson)},
            {"stackBytesRemoved", whenCompleted(call.probe.stackBytesRemoved)},
            {"expectedStackBytes", ExpectedStackBytes(call)},
            {"stackBalanced", completed && StackBalanced(call)},
            {"registersBalanced", completed && call.probe.registerChanges == 0},
            {"warnings", JsonItems(Warnings(call), Utf8FromWide)}};
}
