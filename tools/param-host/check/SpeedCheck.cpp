#include "check/SpeedCheck.h"

#include "check/CallInputs.h"
#include "check/ProbedCall.h"

#include "util/UniqueVariant.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int Rounds = 9;
constexpr int CallsPerRound = 200;

template <typename Call>
double MedianMicrosecondsPerCall(Call call) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> perCall;
    for (int round = 0; round < Rounds; ++round) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        for (int i = 0; i < CallsPerRound; ++i) call();
        QueryPerformanceCounter(&end);
        perCall.push_back(1e6 * static_cast<double>(end.QuadPart - start.QuadPart) /
                          static_cast<double>(frequency.QuadPart) / CallsPerRound);
    }
    std::ranges::nth_element(perCall, perCall.begin() + Rounds / 2);
    return perCall[Rounds / 2];
}

// The typical field as the host's frame holds it: "D204", a hex-encoded field
// whose value text is "04D2".
void StoreTypicalFrame(VARIANT& frame) {
    static constexpr BYTE Field[] = {'D', '2', '0', '4'};
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, sizeof Field);
    if (!array) return;
    std::copy(std::begin(Field), std::end(Field), static_cast<BYTE*>(array->pvData));
    frame.vt = VT_ARRAY | VT_UI1;
    frame.parray = array;
}

}  // namespace

double TimeEntryPoint(FARPROC entry, const EntryPointShape& shape, TypicalCall typical, LentParams& params) {
    CommandLineParam& param = params.Lend(shape.entryPoint, typical.paramId);
    param.PauseNotes(true);
    const std::vector<CallCase> cases = CasesFor(shape.entryPoint);
    const PreparedCall prepared(shape, cases[typical.caseIndex], typical.paramId, &param);
    std::vector<uint32_t> arguments = prepared.Arguments();
    std::vector<LentOutput> outputs(static_cast<size_t>(shape.outputCount));
    for (size_t i = 0; i < outputs.size(); ++i)
        arguments[static_cast<size_t>(shape.outputs[i].pointer)] = outputs[i].Slot();
    return MedianMicrosecondsPerCall([&] { CallProbed(entry, arguments); });
}

std::optional<double> TimeBuiltInPath(IParamTransactor& component, EntryPoint entryPoint) {
    ParamSettings settings;
    settings.startByte = 1;
    settings.byteCount = 4;
    settings.hexEncoded = true;
    settings.obscureText = L"1234";
    Microsoft::WRL::ComPtr<CommandLineParam> param(new CommandLineParam(settings));
    param->PauseNotes(true);
    LONG status = 0, count = 0;
    switch (entryPoint) {
        case EntryPoint::Explain: {
            UniqueVariant frame;
            StoreTypicalFrame(frame.Get());
            return MedianMicrosecondsPerCall([&] { component.Explain(param.Get(), frame.Get(), 4, &status); });
        }
        case EntryPoint::Obscure:
            return MedianMicrosecondsPerCall([&] {
                UniqueVariant data;
                component.Obscure(param.Get(), &data.Get(), &count, &status);
            });
        case EntryPoint::Edit: break;
    }
    return std::nullopt;
}
