#include "capture/ReplayRun.h"

#include "capture/RecordedParam.h"
#include "util/UniqueBstr.h"
#include "util/UniqueVariant.h"

#include <cstdint>
#include <cwchar>
#include <filesystem>

namespace {

// The outcome of replaying one call: its results, or why it could not be replayed.
struct Replayed {
    std::optional<CallResults> results;
    std::string notReplayed;
};

bool IsIntegerType(VARTYPE type) {
    switch (type) {
        case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_INT: case VT_UINT:
        case VT_VARIANT: return true;
        default: return false;
    }
}

// Why a recorded frame's bounds cannot be rebuilt, empty when they can: an
// element count beyond ReplayMaxFrameElements (a file's count is not
// believed past it: the array's byte size must not overflow), or recorded
// bytes outside the frame's bounds.
std::string FrameBoundsProblem(const CapturedFrame& recorded) {
    if (recorded.elements < 0 || recorded.elements > ReplayMaxFrameElements)
        return "the frame's element count " + std::to_string(recorded.elements) + " is outside 0 to " +
               std::to_string(ReplayMaxFrameElements);
    const int64_t first = int64_t{recorded.firstIndex} - recorded.lowerBound;
    if (first < 0 || first + static_cast<int64_t>(recorded.bytes.size()) > recorded.elements ||
        int64_t{recorded.lowerBound} + recorded.elements - 1 > INT32_MAX)
        return "the frame's recorded bytes lie outside its bounds";
    return {};
}

// The frame as the host passed it, rebuilt: an array of the recorded type
// and bounds, the recorded bytes at their indexes and zeros elsewhere.
std::string RebuildFrame(const CapturedCall& call, VARIANT& frame) {
    if (!call.frame) return "the frame was not recorded";
    const CapturedFrame& recorded = *call.frame;
    const auto type = static_cast<VARTYPE>(recorded.type & ~VT_BYREF);
    if ((type & VT_ARRAY) == 0) {
        V_VT(&frame) = type == VT_EMPTY || type == VT_NULL ? type : static_cast<VARTYPE>(VT_ERROR);
        return {};
    }
    const VARTYPE element = type & VT_TYPEMASK;
    if (recorded.dimensions != 1) return "the frame is not a one-dimensional array";
    if (!IsIntegerType(element)) return "the frame's elements are no integers";
    if (recorded.elements > 0 && recorded.bytes.empty()) return "the frame's elements were not recorded";
    if (std::string problem = FrameBoundsProblem(recorded); !problem.empty()) return problem;
    SAFEARRAY* array = SafeArrayCreateVector(element, recorded.lowerBound, static_cast<ULONG>(recorded.elements));
    if (!array) return "the frame is too large to rebuild";
    V_VT(&frame) = type;
    V_ARRAY(&frame) = array;
    for (size_t i = 0; i < recorded.bytes.size(); ++i) {
        LONG index = recorded.firstIndex + static_cast<LONG>(i);
        VARIANT value;
        V_VT(&value) = VT_UI1;
        V_UI1(&value) = static_cast<BYTE>(recorded.bytes[i]);
        if (element == VT_VARIANT) {
            SafeArrayPutElement(array, &index, &value);
        } else {
            VARIANT converted;
            VariantInit(&converted);
            if (SUCCEEDED(VariantChangeType(&converted, &value, 0, element)))
                SafeArrayPutElement(array, &index, &V_UI1(&converted));
        }
    }
    return {};
}

std::string DigitsOf(const VARIANT& data) {
    std::string digits;
    if (V_VT(&data) != (VT_ARRAY | VT_UI1) || !V_ARRAY(&data)) return digits;
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(V_ARRAY(&data), 1, &lower);
    SafeArrayGetUBound(V_ARRAY(&data), 1, &upper);
    for (LONG index = lower; index <= upper; ++index) {
        BYTE digit = 0;
        SafeArrayGetElement(V_ARRAY(&data), &index, &digit);
        digits += static_cast<char>(digit);
    }
    return digits;
}

Replayed ReplayExplain(IParamTransactor& transactor, const CapturedCall& call) {
    UniqueVariant frame;
    if (std::string problem = RebuildFrame(call, frame.Get()); !problem.empty()) return {{}, problem};
    RecordedParam param(call.hostCalls);
    LONG status = call.status.value_or(0);
    const HRESULT result = transactor.Explain(&param, frame.Get(), call.dataLength, &status);
    if (param.Unanswered()) return {{}, "asks " + *param.Unanswered() + ", which the capture has no answer for"};
    return {ResultsOf(param.Calls(), call.status ? std::optional<int32_t>(status) : std::nullopt, result, {}), {}};
}

Replayed ReplayObscure(IParamTransactor& transactor, const CapturedCall& call) {
    RecordedParam param(call.hostCalls);
    UniqueVariant data;
    LONG count = 0, status = call.status.value_or(0);
    const HRESULT result = transactor.Obscure(&param, &data.Get(), &count, &status);
    if (param.Unanswered()) return {{}, "asks " + *param.Unanswered() + ", which the capture has no answer for"};
    std::optional<std::string> digits;
    if (SUCCEEDED(result)) digits = DigitsOf(data.Get());
    return {ResultsOf(param.Calls(), call.status ? std::optional<int32_t>(status) : std::nullopt, result, digits), {}};
}

// Puts `path` into a slot when it is not there yet.
void PutSlot(IParamTransactor& transactor, HRESULT (STDMETHODCALLTYPE IParamTransactor::*put)(BSTR),
             std::optional<std::wstring>& current, const std::wstring& path) {
    if (current == path) return;
    UniqueBstr text = UniqueBstr::Copy(path);
    (transactor.*put)(text.Get());
    current = path;
}

// Whether the library a capture names can be loaded here (looked at as a
// file, not run): a station's path often does not exist at the desk, and
// the component would then quietly take its built-in path.
bool Loadable(const std::wstring& path) {
    HMODULE library = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (library) FreeLibrary(library);
    return library != nullptr;
}

class Replayer {
public:
    Replayer(IParamTransactor& transactor, const ReplayLibraries& libraries)
        : FTransactor(transactor), FLibraries(libraries) {}

    Replayed Replay(const CapturedCall& call) {
        const auto explicitLibrary = call.operation == CaptureOperation::Explain ? FLibraries.explain : FLibraries.obscure;
        const std::wstring recorded = RecordedLibrary(call);
        if (call.operation != CaptureOperation::Edit && !explicitLibrary && !recorded.empty() && !Usable(recorded))
            return {{}, "the recorded library " + JsonText(recorded) + " cannot be loaded here: name one with --" +
                            OperationName(call.operation) + "-lib"};
        switch (call.operation) {
            case CaptureOperation::Explain:
                PutSlot(FTransactor, &IParamTransactor::put_ExplainLibrary, FExplainPath,
                        FLibraries.explain.value_or(recorded));
                return ReplayExplain(FTransactor, call);
            case CaptureOperation::Obscure:
                PutSlot(FTransactor, &IParamTransactor::put_ObscureLibrary, FObscurePath,
                        FLibraries.obscure.value_or(recorded));
                return ReplayObscure(FTransactor, call);
            case CaptureOperation::Edit: break;
        }
        return {{}, "Edit is recorded, never replayed"};
    }

private:
    // The recorded library, or the changed rules' copy for FieldRules.dll:
    // a library of that name, or a renamed copy with its bytes.
    std::wstring RecordedLibrary(const CapturedCall& call) const {
        if (!FLibraries.rules) return call.libraryPath;
        const std::wstring name = std::filesystem::path(call.libraryPath).filename().wstring();
        const bool fieldRules = _wcsicmp(name.c_str(), L"FieldRules.dll") == 0 ||
                                (call.libraryHash && call.libraryHash == FLibraries.rulesHash);
        return fieldRules ? *FLibraries.rules : call.libraryPath;
    }

    bool Usable(const std::wstring& path) {
        const auto known = FLoadable.find(path);
        if (known != FLoadable.end()) return known->second;
        return FLoadable[path] = Loadable(path);
    }

    IParamTransactor& FTransactor;
    const ReplayLibraries& FLibraries;
    std::map<std::wstring, bool> FLoadable;
    std::optional<std::wstring> FExplainPath, FObscurePath;
};

void Count(ParamTally& tally, const Replayed& replayed, bool changed) {
    ++tally.calls;
    if (!replayed.results) {
        ++tally.notReplayed;
        ++tally.reasons[replayed.notReplayed];
    } else {
        ++(changed ? tally.changed : tally.unchanged);
    }
}

}  // namespace

const char* OperationName(CaptureOperation operation) {
    switch (operation) {
        case CaptureOperation::Explain: return "explain";
        case CaptureOperation::Obscure: return "obscure";
        case CaptureOperation::Edit: return "edit";
    }
    return "?";
}

const CapturedHostCall* FirstAnswer(const CapturedCall& call, std::string_view method) {
    for (const CapturedHostCall& hostCall : call.hostCalls)
        if (ParamMethodName(hostCall.slot) == method) return &hostCall;
    return nullptr;
}

std::string FieldOf(const CapturedCall& call) {
    if (call.operation == CaptureOperation::Explain) {
        const CapturedHostCall* start = FirstAnswer(call, "GetStartByte");
        const CapturedHostCall* count = FirstAnswer(call, "GetByteCount");
        if (!call.frame || !start || !count) return {};
        return HexBytes(CapturedFieldBytes(*call.frame, start->number, count->number));
    }
    const CapturedHostCall* valueText = FirstAnswer(call, "GetValueText");
    return valueText ? JsonText(valueText->text) : std::string();
}

ReplayReport ReplayCalls(IParamTransactor& transactor, const std::vector<SourcedCall>& calls,
                         const ReplayLibraries& libraries, const ParamIdList& paramIds) {
    ReplayReport report;
    Replayer replayer(transactor, libraries);
    for (const SourcedCall& sourced : calls) {
        const CapturedCall& call = sourced.call;
        const int32_t paramId = call.paramId.value_or(0);
        if (!paramIds.Contains(paramId)) continue;
        const Replayed replayed = replayer.Replay(call);
        std::vector<ResultChange> changes;
        if (replayed.results) changes = CompareResults(ResultsOf(call), *replayed.results);
        Count(report.total, replayed, !changes.empty());
        Count(report.perParam[paramId], replayed, !changes.empty());
        if (!changes.empty())
            report.differences.push_back({paramId, OperationName(call.operation), FieldOf(call), std::move(changes)});
    }
    return report;
}
