#include "check/BehaviourCheck.h"

#include "check/ByteText.h"
#include "check/CallInputs.h"
#include "check/TextEncoding.h"

#include <algorithm>
#include <cwchar>

namespace {

void Keep(auto& first, std::wstring where, std::wstring what) {
    if (!first) first.emplace(std::move(where), std::move(what));
}

bool IsDigitText(const std::string& text) {
    return std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

char FirstNonDigit(const std::string& text) {
    return *std::ranges::find_if(text, [](char c) { return c < '0' || c > '9'; });
}

std::wstring Hex(unsigned value, int digits) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%0*X", digits, value);
    return text;
}

// The input bytes a call was given: the field for Explain, the value text for Obscure.
std::string InputBytes(const PlannedCall& call) {
    const CallCase input = CasesFor(call.entryPoint)[call.caseIndex];
    return call.entryPoint == EntryPoint::Explain ? input.fieldBytes : input.valueText;
}

std::wstring FaultFix(DWORD code, ExtensionLanguage language) {
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION:
            return L"check every pointer and length before use: inputs may be empty or 10,000 bytes long and hold "
                   L"zero bytes; decline (return 1) what you cannot read";
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
        case EXCEPTION_FLT_DIVIDE_BY_ZERO:
            return L"check every divisor before dividing, and decline (return 1) the input it comes from";
        case 0xE06D7363: return L"catch every exception inside the entry point (catch (...)) and return 1 instead";
        default:
            return ForLanguage(language, L"handle the error inside the entry point and return 1 instead of raising",
                               L"catch every exception inside the entry point (try { ... } catch (...) { return 1; }) "
                               L"and handle errors there instead of raising");
    }
}

void AddConventionFinding(const EntryPointShape& shape, int32_t removed, std::vector<Finding>& findings) {
    const int32_t expected = shape.argumentCount * 4;
    if (removed == expected) return;
    const std::wstring arguments = std::to_wstring(shape.argumentCount);
    const std::wstring removes = L"removes " + std::to_wstring(removed) +
                                 L" bytes of arguments from the stack, not the " + std::to_wstring(expected) +
                                 L" it is passed: ";
    const std::wstring repaired = L"; the component repairs the stack, a host without that repair crashes";
    if (removed == 0) {
        findings.push_back({FindingKind::Cdecl, shape.name, removes + L"it is cdecl, not __stdcall" + repaired,
                            L"declare it __stdcall in your own prototype and in its definition (int32_t __stdcall " +
                                WideAscii(shape.name) + L"(...)), as ParamExtension.h does"});
        return;
    }
    const std::wstring declared =
        removed > 0 && removed % 4 == 0
            ? L"it is declared with " + std::to_wstring(removed / 4) + L" arguments instead of " + arguments
            : L"its argument list is not the documented one";
    findings.push_back({FindingKind::ArgumentCount, shape.name, removes + declared + repaired,
                        L"declare it with the " + arguments + L" arguments of ParamExtension.h, __stdcall"});
}

// "EBX changed", "MXCSR changed from 0x1F80 to 0xFF00 (rounding, flush-to-zero...)".
std::wstring DescribeStateChange(unsigned changes, const ProbedCall& first) {
    std::wstring text = DescribeRegisterChanges(changes & ~(X87ControlChanged | MxcsrChanged));
    const auto add = [&](const std::wstring& what) { text += (text.empty() ? L"" : L", ") + what; };
    if (changes & X87ControlChanged)
        add(L"the x87 control word changed from " + Hex(first.x87ControlBefore, 4) + L" to " +
            Hex(first.x87ControlAfter, 4) + L" (precision, rounding, exception masks)");
    if (changes & MxcsrChanged)
        add(L"MXCSR changed from " + Hex(first.mxcsrBefore, 4) + L" to " + Hex(first.mxcsrAfter, 4) +
            L" (rounding, flush-to-zero, exception masks)");
    return text;
}

}  // namespace

BehaviourJudge::BehaviourJudge(std::vector<PlannedCall> plan, ExtensionLanguage language)
    : FPlan(std::move(plan)), FLanguage(language) {}

std::wstring BehaviourJudge::Where(const PlannedCall& call, bool withBytes) {
    const std::wstring id = L"parameter id " + std::to_wstring(call.paramId);
    if (call.entryPoint == EntryPoint::Edit) return L"with " + id;
    const CallCase input = CasesFor(call.entryPoint)[call.caseIndex];
    const std::string sent = InputBytes(call);
    const std::wstring bytes = withBytes && !sent.empty() ? L" (bytes " + HexBytes(sent, 16) + L")" : L"";
    return L"with the " + input.name + bytes + L" and " + id;
}

void BehaviourJudge::TallyOutput(const OutputArgument& output, const OutputReading& reading,
                                 const EntryPointShape& shape, const std::wstring& where, Tally& tally) const {
    const std::wstring name = output.name;
    if (!reading.terminated) {
        Keep(tally.unterminated, where, name + L" holds " + ShownText(reading.text) + L" and no zero byte after it");
        return;
    }
    if (shape.writesDigits) {
        if (reading.text.empty())
            Keep(tally.emptySuccess, where, L"");
        else if (!IsDigitText(reading.text))
            Keep(tally.nonDigit, where,
                 name + L" holds " + ShownText(reading.text) + L": '" +
                     ReadAsGbk(std::string(1, FirstNonDigit(reading.text))) + L"' is not a decimal digit");
        return;
    }
    if (auto mistake = Utf8Mistake(output.name, reading.text))
        Keep(tally.utf8, where, std::move(*mistake));
    else if (auto notGbk = NotGbkMistake(output.name, reading.text))
        Keep(tally.notGbk, where, std::move(*notGbk));
}

void BehaviourJudge::Observed(const CallObservation& observation) {
    if (observation.index >= FPlan.size()) return;
    const PlannedCall& planned = FPlan[observation.index];
    const EntryPointShape& shape = ShapeOf(planned.entryPoint);
    Tally& tally = FTallies[static_cast<size_t>(planned.entryPoint)];
    const ProbedCall& probe = observation.probe;
    ++tally.calls;
    if (!probe.completed) {
        ++tally.faulted;
        if (!tally.fault) tally.faultCode = probe.exceptionCode;
        Keep(tally.fault, Where(planned, true), DescribeException(probe.exceptionCode));
        return;
    }
    const std::wstring where = Where(planned, false);
    tally.microseconds.push_back(observation.microseconds);
    if (!tally.stackBytesRemoved) tally.stackBytesRemoved = probe.stackBytesRemoved;
    if (probe.registerChanges) {
        tally.registerChanges |= probe.registerChanges;
        if (!tally.firstStateChange) tally.firstStateChange = probe;
        Keep(tally.registers, where, L"");
    }
    for (size_t i = 0; i < observation.outputs.size() && i < shape.outputs.size(); ++i)
        if (observation.outputs[i].writtenPast) Keep(tally.writesPast, where, std::wstring(shape.outputs[i].name));
    if (probe.result != 0) {
        ++tally.declined;
        return;
    }
    ++tally.accepted;
    if (!tally.firstAccepted) tally.firstAccepted = TypicalCall{planned.caseIndex, planned.paramId};
    for (size_t i = 0; i < observation.outputs.size() && i < shape.outputs.size(); ++i)
        TallyOutput(shape.outputs[i], observation.outputs[i], shape, where, tally);
}

void BehaviourJudge::Ended(size_t index, const char* kind, std::wstring what, std::wstring fix) {
    if (index >= FPlan.size()) return;
    const PlannedCall& planned = FPlan[index];
    Tally& tally = FTallies[static_cast<size_t>(planned.entryPoint)];
    ++tally.calls;
    ++tally.faulted;
    Ending& ending = tally.endings[kind];
    if (ending.calls++ == 0) ending = {{Where(planned, true), std::move(what)}, std::move(fix), 1};
}

int BehaviourJudge::EndedCalls(EntryPoint entryPoint) const {
    int calls = 0;
    for (const auto& [kind, ending] : FTallies[static_cast<size_t>(entryPoint)].endings) calls += ending.calls;
    return calls;
}

std::optional<double> BehaviourJudge::MedianMicroseconds(EntryPoint entryPoint) const {
    std::vector<double> times = FTallies[static_cast<size_t>(entryPoint)].microseconds;
    if (times.empty()) return std::nullopt;
    std::ranges::nth_element(times, times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2));
    return times[times.size() / 2];
}

TypicalCall BehaviourJudge::Typical(EntryPoint entryPoint, int32_t firstId) const {
    return FTallies[static_cast<size_t>(entryPoint)].firstAccepted.value_or(
        TypicalCall{TypicalCaseIndex(entryPoint), firstId});
}

void BehaviourJudge::Report(EntryPointReport& entry, const std::vector<int32_t>& paramIds, CheckReport& report) const {
    const EntryPointShape& shape = ShapeOf(entry.entryPoint);
    const Tally& tally = FTallies[static_cast<size_t>(entry.entryPoint)];
    entry.calls = tally.calls;
    entry.accepted = tally.accepted;
    entry.declined = tally.declined;
    entry.faulted = tally.faulted;
    entry.stackBytesRemoved = tally.stackBytesRemoved;
    std::vector<Finding>& findings = report.findings;
    const auto add = [&](const char* kind, std::wstring reason, std::wstring fix) {
        findings.push_back({kind, shape.name, std::move(reason), std::move(fix)});
    };
    const std::wstring otherwise = std::wstring(L"; ") + shape.withoutResult;
    for (const auto& [kind, ending] : tally.endings)
        add(kind.c_str(),
            ending.first.what + L" in " + std::to_wstring(ending.calls) + L" of " + std::to_wstring(tally.calls) +
                L" calls, first " + ending.first.where + L"; in the host's process that ends or stalls the host",
            ending.fix);
    if (tally.fault)
        add(FindingKind::Fault,
            L"faults with " + tally.fault->what + L" in " + std::to_wstring(tally.faulted) + L" of " +
                std::to_wstring(tally.calls) + L" calls, first " + tally.fault->where +
                L"; the component's guard catches it" + otherwise,
            FaultFix(tally.faultCode, FLanguage));
    if (tally.stackBytesRemoved) AddConventionFinding(shape, *tally.stackBytesRemoved, findings);
    if (tally.registers)
        add(FindingKind::ClobberedRegisters,
            L"returns with " + DescribeStateChange(tally.registerChanges, *tally.firstStateChange) + L", first " +
                tally.registers->where +
                L"; the component restores them, a caller without that repair computes wrong results or crashes",
            L"leave register saving to the compiler (no hand-written assembly), or save and restore EBX, ESI, EDI "
            L"and EBP, clear the direction flag, empty the x87 stack and put back the x87 control word and MXCSR "
            L"(_controlfp, _mm_setcsr) before returning");
    if (tally.writesPast)
        add(FindingKind::WritesPastBuffer,
            L"writes past the 4096 bytes of " + tally.writesPast->what + L", first " + tally.writesPast->where +
                L": that overwrites the host's memory",
            L"write at most 4096 bytes into an out-buffer, the terminating zero included: snprintf(out, 4096, ...)");
    if (tally.unterminated)
        add(FindingKind::Unterminated,
            L"reports success, but " + tally.unterminated->what + L" within its 4096 bytes, first " +
                tally.unterminated->where + L"; it reads right only where the buffer happens to be zeroed",
            L"end every text with a zero byte: copy strlen(text) + 1 bytes, or use snprintf(out, 4096, ...)");
    if (tally.nonDigit)
        add(FindingKind::NonDigitOutput,
            tally.nonDigit->what + L", first " + tally.nonDigit->where +
                L": Obscure then fails with \"is not a valid integer value\"",
            L"write only the ASCII digits '0' to '9', one per byte to send: the component turns each into its "
            L"value 0 to 9");
    if (tally.emptySuccess)
        add(FindingKind::EmptySuccess,
            L"returns 0 with an empty digit text, first " + tally.emptySuccess->where + otherwise + L" instead",
            L"return 1 when there is nothing to send, or write the digits before returning 0");
    if (tally.notGbk)
        add(FindingKind::NotGbkOutput, tally.notGbk->what + L", first " + tally.notGbk->where,
            L"write texts as GBK bytes (code page 936): spell them out as the sample does (\"\\xA1\\xE3\" for °)");
    if (tally.utf8)
        add(FindingKind::Utf8Output,
            tally.utf8->what + L", first " + tally.utf8->where +
                L": if the UTF-8 reading is the one meant, the text was written in UTF-8, not GBK",
            Utf8MistakeFix);
    if (tally.calls > 0 && tally.accepted == 0 && tally.faulted == 0) {
        std::wstring ids;
        for (const int32_t id : paramIds) ids += (ids.empty() ? L"" : L",") + std::to_wstring(id);
        report.notes.push_back(WideAscii(shape.name) + L" declined (result 1) all " + std::to_wstring(tally.calls) +
                               L" calls, with parameter ids " + ids + otherwise +
                               L" for them; if it handles other ids, name them: --param-ids 1-16,5000");
    }
}
