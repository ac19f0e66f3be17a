// Times Explain and Obscure through the IParamTransactor vtable and reports
// ratios between cases, which say how the cost scales and stay comparable
// from machine to machine where absolute times would not.
//
//   transactor_bench.exe [iterations per round] [rounds]
#include "LeanParam.h"
#include "RatioMeter.h"

#include "transactor/ParamTransactorUnt.h"
#include "util/UniqueBstr.h"
#include "util/UniqueVariant.h"

#include <windows.h>
#include <objbase.h>
#include <wrl/client.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>

using Microsoft::WRL::ComPtr;

namespace {

ComPtr<IParamTransactor> NewTransactor() {
    // A new object has no reference until the first one is taken here.
    return ComPtr<IParamTransactor>(new TParamTransactor());
}

void Check(HRESULT result, const char* what) {
    if (result != S_OK) throw std::runtime_error(std::string(what) + " failed");
}

// Puts into `frame` a byte array of `length` hex digit characters, so that
// any field of it reads as plain bytes or decodes as hex.
void FillFrame(VARIANT& frame, LONG length) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(length));
    if (!array) throw std::runtime_error("creating the frame failed");
    V_VT(&frame) = VT_ARRAY | VT_UI1;
    V_ARRAY(&frame) = array;
    for (LONG i = 0; i < length; ++i) {
        BYTE digit = static_cast<BYTE>("0123456789ABCDEF"[i % 16]);
        Check(SafeArrayPutElement(array, &i, &digit), "filling the frame");
    }
}

// One Explain case: a field of a frame, explained by its own transactor.
class ExplainCase {
public:
    ExplainCase(LONG frameLength, LONG fieldLength, bool hexEncoded, const wchar_t* library = L"", LONG paramId = 0) {
        FillFrame(FFrame.Get(), frameLength);
        FFrameLength = frameLength;
        FParam.ByteCount = fieldLength;
        FParam.ParamId = paramId;
        FParam.HexEncoded = hexEncoded ? VARIANT_TRUE : VARIANT_FALSE;
        const UniqueBstr path = UniqueBstr::Copy(library);
        Check(FTransactor->put_ExplainLibrary(path.Get()), "putting the explain library");
    }

    void operator()() {
        LONG status = 0;
        Check(FTransactor->Explain(&FParam, FFrame.Get(), FFrameLength, &status), "Explain");
    }

private:
    ComPtr<IParamTransactor> FTransactor = NewTransactor();
    LeanParam FParam;
    UniqueVariant FFrame;
    LONG FFrameLength = 0;
};

// One Obscure case: the host's digit text turned into bytes.
class ObscureCase {
public:
    explicit ObscureCase(size_t digitCount) { FParam.ObscureText.assign(digitCount, L'7'); }

    void operator()() {
        LONG count = 0, status = 0;
        Check(FTransactor->Obscure(&FParam, &FData.Get(), &count, &status), "Obscure");
    }

private:
    ComPtr<IParamTransactor> FTransactor = NewTransactor();
    LeanParam FParam;
    UniqueVariant FData;
};

// Prints the median ratio of `candidate`'s time to `baseline`'s, and what it means.
template <typename Baseline, typename Candidate>
void Compare(const RatioSettings& settings, const char* comparison, Baseline& baseline, Candidate& candidate,
             const char* meaning) {
    const double ratio = MedianRatio(std::ref(baseline), std::ref(candidate), settings);
    std::printf("  %-52s %6.2f   %s\n", comparison, ratio, meaning);
}

// FieldRules.dll against the C sample extension, both explaining the same
// hex-encoded 16-bit voltage field (parameter 1 of each: raw x 0.01 V; for
// FieldRules.dll the rule in FieldRules.ini next to it).
void CompareFieldRulesWithSample(const RatioSettings& settings) {
    constexpr double Goal = 1.5;
    ExplainCase sample(16, 4, true, L"EngineeringUnits.dll", 1), rules(16, 4, true, L"FieldRules.dll", 1);
    if (!GetModuleHandleA("EngineeringUnits.dll") || !GetModuleHandleA("FieldRules.dll"))
        throw std::runtime_error("EngineeringUnits.dll or FieldRules.dll did not load");
    const double ratio = MedianRatio(std::ref(sample), std::ref(rules), settings);
    std::printf("  %-52s %6.2f   goal <= %.1f: %s\n", "Explain through FieldRules.dll / the C sample", ratio, Goal,
                ratio <= Goal ? "met" : "not met");
}

void RunAll(const RatioSettings& settings) {
    std::printf("Time of one case divided by time of another, median of %d rounds of %d calls each:\n",
                settings.rounds, settings.iterations);

    ExplainCase smallFrame(16, 4, false), largeFrame(64 * 1024, 4, false);
    Compare(settings, "Explain 4-byte field, 64 KiB frame / 16-byte frame", smallFrame, largeFrame,
            "about 1: the cost does not grow with the frame");

    ExplainCase plainField(16, 4, false), hexField(16, 8, true);
    Compare(settings, "Explain hex 8-char field / plain 4-byte field", plainField, hexField,
            "the cost of decoding and reversing hex");

    ExplainCase builtIn(16, 4, false), throughExtension(16, 4, false, L"ExtSucceed.dll");
    if (!GetModuleHandleA("ExtSucceed.dll")) throw std::runtime_error("ExtSucceed.dll did not load");
    Compare(settings, "Explain through a trivial extension / built-in", builtIn, throughExtension,
            "the cost of the extension call and its buffers");

    CompareFieldRulesWithSample(settings);

    ObscureCase fewDigits(4), manyDigits(64);
    Compare(settings, "Obscure 64 digits / 4 digits", fewDigits, manyDigits,
            "how the cost grows with the digits (16 times as many)");
}

int PositiveArgument(int argc, char** argv, int index, int fallback) {
    const int value = index < argc ? std::atoi(argv[index]) : 0;
    return value > 0 ? value : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    RatioSettings settings;
    settings.iterations = PositiveArgument(argc, argv, 1, settings.iterations);
    settings.rounds = PositiveArgument(argc, argv, 2, settings.rounds);

    // The host calls on a single-threaded apartment thread.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    int exitCode = 0;
    try {
        RunAll(settings);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "transactor_bench: %s\n", error.what());
        exitCode = 1;
    }
    CoUninitialize();
    return exitCode;
}
