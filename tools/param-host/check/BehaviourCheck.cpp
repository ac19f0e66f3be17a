#include "check/BehaviourCheck.h"

#include "check/ByteText.h"
#include "check/CallInputs.h"
#include "check/ObservedCall.h"
#include "check/TextEncoding.h"

#include <algorithm>
#include <optional>

namespace {

// The first call that showed a problem: which input, and what it showed.
struct Example {
    std::wstring where;  // "with the empty field and parameter id 0"
    std::wstring what;
};

struct Tally {
    std::optional<int32_t> stackBytesRemoved;
    std::optional<TypicalCall> firstAccepted;
    DWORD faultCode = 0;
    unsigned registerChanges = 0;
    std::optional<Example> fault, registers, unterminated, writesPast, nonDigit, emptySuccess, utf8;
};

void Keep(std::optional<Example>& first, std::wstring where, std::wstring what) {
    if (!first) first = Example{std::move(where), std::move(what)};
}

std::wstring Where(const EntryPointShape& shape, const CallCase& input, int32_t paramId) {
    const std::wstring id = L"parameter id " + std::to_wstring(paramId);
    return shape.inputCount == 0 ? L"with " + id : L"with the " + input.name + L" and " + id;
}

bool IsDigitText(const std::string& text) {
    return std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

char FirstNonDigit(const std::string& text) {
    return *std::ranges::find_if(text, [](char c) { return c < '0' || c > '9'; });
}

void TallyOutput(const OutputArgument& output, const OutputReading& reading, const EntryPointShape& shape,
                 const std::wstring& where, Tally& tally) {
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
    if (auto mistake = Utf8Mistake(output.name, reading.text)) Keep(tally.utf8, where, std::move(*mistake));
}

void TallyCall(const ObservedCall& call, const EntryPointShape& shape, const std::wstring& where, TypicalCall at,
               EntryPointReport& report, Tally& tally) {
    ++report.calls;
    if (!call.probe.completed) {
        ++report.faulted;
        if (!tally.fault) tally.faultCode = call.probe.exceptionCode;
        Keep(tally.fault, where, DescribeException(call.probe.exceptionCode));
        return;
    }
    if (!tally.stackBytesRemoved) tally.stackBytesRemoved = call.probe.stackBytesRemoved;
    if (call.probe.registerChanges) {
        tally.registerChanges |= call.probe.registerChanges;
        Keep(tally.registers, where, L"");
    }
    for (size_t i = 0; i < call.outputs.size(); ++i)
        if (call.outputs[i].writtenPast) Keep(tally.writesPast, where, std::wstring(shape.outputs[i].name));
    if (call.probe.result != 0) {
        ++report.declined;
        return;
    }
    ++report.accepted;
    if (!tally.firstAccepted) tally.firstAccepted = at;
    for (size_t i = 0; i < call.outputs.size(); ++i)
        TallyOutput(shape.outputs[i], call.outputs[i], shape, where, tally);
}

std::wstring FaultFix(DWORD code) {
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION:
            return L"check every pointer and length before use: inputs may be empty or 10,000 bytes long and hold "
                   L"zero bytes; decline (return 1) what you cannot read";
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
        case EXCEPTION_FLT_DIVIDE_BY_ZERO:
            return L"check every divisor before dividing, and decline (return 1) the input it comes from";
        case 0xE06D7363: return L"catch every exception inside the entry point (catch (...)) and return 1 instead";
        default: return L"handle the error inside the entry point and return 1 instead of raising";
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

void AddFindings(const EntryPointShape& shape, const Tally& tally, const EntryPointReport& report, int highestParamId,
                 std::vector<Finding>& findings) {
    const auto add = [&](const char* kind, std::wstring reason, std::wstring fix) {
        findings.push_back({kind, shape.name, std::move(reason), std::move(fix)});
    };
    const std::wstring otherwise = std::wstring(L"; ") + shape.withoutResult;
    if (tally.fault)
        add(FindingKind::Fault,
            L"faults with " + tally.fault->what + L" in " + std::to_wstring(report.faulted) + L" of " +
                std::to_wstring(report.calls) + L" calls, first " + tally.fault->where +
                L"; the component's guard catches it" + otherwise,
            FaultFix(tally.faultCode));
    if (tally.stackBytesRemoved) AddConventionFinding(shape, *tally.stackBytesRemoved, findings);
    if (tally.registers)
        add(FindingKind::ClobberedRegisters,
            L"returns with " + DescribeRegisterChanges(tally.registerChanges) + L", first " + tally.registers->where +
                L"; the component restores them, a caller without that repair goes wrong",
            L"leave register saving to the compiler (no hand-written assembly), or save and restore EBX, ESI, EDI "
            L"and EBP, clear the direction flag and empty the x87 stack before returning");
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
    if (tally.utf8)
        add(FindingKind::Utf8Output,
            tally.utf8->what + L", first " + tally.utf8->where + L": the text was written in UTF-8, not GBK",
            Utf8MistakeFix);
    if (report.calls > 0 && report.accepted == 0 && report.faulted == 0)
        add(FindingKind::DeclinesEverything,
            L"declines (result 1) all " + std::to_wstring(report.calls) +
                L" calls, every input with parameter ids 0 to " + std::to_wstring(highestParamId) + otherwise +
                L" every time",
            L"return 0 with its texts for the parameter ids it handles (try more ids with --param-ids N)");
}

}  // namespace

TypicalCall CheckBehaviour(FARPROC entry, const EntryPointShape& shape, int highestParamId, LentParams& params,
                           EntryPointReport& report, std::vector<Finding>& findings) {
    const std::vector<CallCase> cases = CasesFor(shape.entryPoint);
    Tally tally;
    for (int32_t paramId = 0; paramId <= highestParamId; ++paramId) {
        for (size_t index = 0; index < cases.size(); ++index) {
            CommandLineParam& param = params.Lend(shape.entryPoint, paramId);
            const PreparedCall prepared(shape, cases[index], paramId, &param);
            const ObservedCall call = CallObserved(entry, shape, prepared.Arguments());
            params.Returned(param);
            TallyCall(call, shape, Where(shape, cases[index], paramId), {index, paramId}, report, tally);
        }
    }
    report.stackBytesRemoved = tally.stackBytesRemoved;
    AddFindings(shape, tally, report, highestParamId, findings);
    return tally.firstAccepted.value_or(TypicalCall{TypicalCaseIndex(shape.entryPoint), 0});
}
