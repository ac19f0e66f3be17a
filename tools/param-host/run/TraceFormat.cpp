#include "run/TraceFormat.h"

#include "common/JsonText.h"
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

std::string InputJson(const TracedInput& input) {
    return JsonObject()
        .Add("name", JsonString(input.name))
        .Add("hex", JsonString(HexBytes(input.bytes, HexLimit)))
        .Add("length", std::to_string(input.bytes.size()))
        .Close();
}

std::string OutputJson(const TracedOutput& output) {
    return JsonObject()
        .Add("name", JsonString(output.name))
        .Add("written", JsonBool(output.reading.written))
        .Add("hex", JsonString(HexBytes(output.reading.text, HexLimit)))
        .Add("zeroFound", JsonBool(output.reading.terminated))
        .Add("writtenPast", JsonBool(output.reading.writtenPast))
        .Close();
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

std::string ExtensionCallJson(const ExtensionCallTrace& call) {
    const bool completed = call.probe.completed;
    const auto whenCompleted = [completed](const std::string& json) { return completed ? json : "null"; };
    return JsonObject()
        .Add("entryPoint", JsonString(WideAscii(ShapeOf(call.entryPoint).name)))
        .Add("position", std::to_string(call.position))
        .Add("inputs", JsonArray(call.inputs, InputJson))
        .Add("paramId", call.paramId ? std::to_string(*call.paramId) : "null")
        .Add("isolatedLibrary", call.isolatedLibrary.empty() ? "null" : JsonString(call.isolatedLibrary))
        .Add("completed", JsonBool(completed))
        .Add("result", whenCompleted(std::to_string(call.probe.result)))
        .Add("exceptionCode", completed ? "null" : std::to_string(call.probe.exceptionCode))
        .Add("outcome", JsonString(CallOutcome(call)))
        .Add("declineReason", call.declineReason ? JsonString(*call.declineReason) : "null")
        .Add("explainCode", call.explainCode ? std::to_string(*call.explainCode) : "null")
        .Add("outputs", JsonArray(call.outputs, OutputJson))
        .Add("stackBytesRemoved", whenCompleted(std::to_string(call.probe.stackBytesRemoved)))
        .Add("expectedStackBytes", std::to_string(ExpectedStackBytes(call)))
        .Add("stackBalanced", JsonBool(completed && StackBalanced(call)))
        .Add("registersBalanced", JsonBool(completed && call.probe.registerChanges == 0))
        .Add("warnings", JsonArray(Warnings(call), JsonString))
        .Close();
}
