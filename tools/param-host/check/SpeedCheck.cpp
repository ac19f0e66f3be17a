#include "check/SpeedCheck.h"

#include "check/CallInputs.h"

#include "CommandLineParam.h"

#include <wrl/client.h>

#include "util/UniqueVariant.h"

#include <algorithm>
#include <cwchar>
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

void JudgeSpeed(EntryPointReport& entry, std::vector<Finding>& findings) {
    if (!entry.microsecondsPerCall || *entry.microsecondsPerCall <= SlowCallMicroseconds) return;
    const EntryPointShape& shape = ShapeOf(entry.entryPoint);
    wchar_t measured[96];
    std::swprintf(measured, 96, L"%.0f \u00b5s", *entry.microsecondsPerCall);
    std::wstring builtIn;
    if (entry.builtInMicrosecondsPerCall) {
        wchar_t text[96];
        std::swprintf(text, 96, L" (the component's built-in %ls: %.2f \u00b5s)", shape.operation,
                      *entry.builtInMicrosecondsPerCall);
        builtIn = text;
    }
    findings.push_back({FindingKind::Slow, shape.name,
                        L"takes " + std::wstring(measured) + L" per call on a typical field" + builtIn +
                            L": the host explains many parameters per frame and stalls",
                        L"return within a millisecond: no waiting, no file or device access, no dialogs in the call; "
                        L"prepare tables once, outside the call"});
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
