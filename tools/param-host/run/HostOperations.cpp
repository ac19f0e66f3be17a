#include "run/HostOperations.h"

#include "common/CommandLineParam.h"
#include "common/ErrorDescription.h"
#include "common/HostFailure.h"
#include "run/DisplayCheck.h"
#include "run/RulesDecline.h"

#include "util/Trim.h"
#include "util/UniqueBstr.h"
#include "util/UniqueVariant.h"

#include <climits>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

std::optional<LONG> WrittenValue(LONG value) {
    return value == NotWritten ? std::nullopt : std::optional<LONG>(value);
}

// The frame as the host passes it: an OLE byte array with lower bound 0.
void StoreFrame(const std::vector<uint8_t>& frame, UniqueVariant& data) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(frame.size()));
    if (!array) throw HostUnavailable(L"out of memory for the frame");
    data.Get().vt = VT_ARRAY | VT_UI1;
    data.Get().parray = array;
    for (LONG i = 0; i < static_cast<LONG>(frame.size()); ++i) {
        BYTE element = frame[static_cast<size_t>(i)];
        SafeArrayPutElement(array, &i, &element);
    }
}

std::optional<std::vector<uint8_t>> ReadBytes(const VARIANT& data) {
    if (data.vt != (VT_ARRAY | VT_UI1) || !data.parray || SafeArrayGetDim(data.parray) != 1) return std::nullopt;
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(data.parray, 1, &lower);
    SafeArrayGetUBound(data.parray, 1, &upper);
    std::vector<uint8_t> bytes;
    for (LONG i = lower; i <= upper; ++i) {
        BYTE element = 0;
        SafeArrayGetElement(data.parray, &i, &element);
        bytes.push_back(element);
    }
    return bytes;
}

// Makes the call with the thread's error information cleared first, and
// records its result and description.
template <typename Call>
void CallComponent(IParamTransactor& transactor, Outcome& outcome, Call call) {
    SetErrorInfo(0, nullptr);
    outcome.result = call();
    if (FAILED(outcome.result))
        outcome.errorDescription = ErrorDescription(&transactor, __uuidof(IParamTransactor), outcome.result);
}

void GatherParamState(const CommandLineParam& param, Outcome& outcome) {
    outcome.valueText = param.ValueText();
    outcome.bitText = param.BitText();
    outcome.displayText = param.DisplayText();
    outcome.explainCode = param.ExplainCode();
    outcome.calls = param.Calls();
}

Outcome Explain(IParamTransactor& transactor, const HostRequest& request, CommandLineParam& param) {
    Outcome outcome;
    outcome.operation = Operation::Explain;
    UniqueVariant data;
    StoreFrame(request.frame, data);
    LONG status = NotWritten;
    CallComponent(transactor, outcome,
                  [&] { return transactor.Explain(&param, data.Get(), request.dataLength, &status); });
    outcome.status = WrittenValue(status);
    if (SUCCEEDED(outcome.result) && outcome.status == 1) outcome.refusal = ExplainRefusalOf(request);
    return outcome;
}

Outcome Obscure(IParamTransactor& transactor, CommandLineParam& param) {
    Outcome outcome;
    outcome.operation = Operation::Obscure;
    UniqueVariant data;
    LONG count = NotWritten, status = NotWritten;
    CallComponent(transactor, outcome, [&] { return transactor.Obscure(&param, &data.Get(), &count, &status); });
    outcome.status = WrittenValue(status);
    outcome.count = WrittenValue(count);
    outcome.bytes = ReadBytes(data.Get());
    return outcome;
}

void RequireDisplayForDialog(const HostRequest& request) {
    const std::wstring editLibrary = request.libraries.edit.value_or(L"");
    if (!TrimControl<wchar_t>(editLibrary).empty()) return;  // the extension edits, no dialog
    if (std::wstring problem = DisplayProblem(); !problem.empty())
        throw HostUnavailable(L"edit shows a dialog, but " + problem + L"; or try an extension with --edit-lib");
}

Outcome Edit(IParamTransactor& transactor, CommandLineParam& param) {
    Outcome outcome;
    outcome.operation = Operation::Edit;
    UniqueBstr value;
    LONG status = NotWritten;
    CallComponent(transactor, outcome, [&] { return transactor.Edit(&param, value.Receive(), &status); });
    outcome.status = WrittenValue(status);
    if (outcome.status == 0) outcome.editValue = std::wstring(value.View());
    return outcome;
}

}  // namespace

Outcome RunOperation(IParamTransactor& transactor, const HostRequest& request, ExtensionTracer* tracer) {
    if (request.operation == Operation::Edit) RequireDisplayForDialog(request);
    ComPtr<CommandLineParam> param(new CommandLineParam(request.param));
    if (tracer) tracer->Watch(*param.Get());
    Outcome outcome;
    switch (request.operation) {
        case Operation::Explain: outcome = Explain(transactor, request, *param.Get()); break;
        case Operation::Obscure: outcome = Obscure(transactor, *param.Get()); break;
        case Operation::Edit: outcome = Edit(transactor, *param.Get()); break;
    }
    GatherParamState(*param.Get(), outcome);
    if (tracer) {
        outcome.extensionCalls = tracer->Calls();
        AddDeclineReasons(request, outcome.extensionCalls);
    }
    return outcome;
}
