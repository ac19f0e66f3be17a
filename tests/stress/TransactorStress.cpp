// The stress program: seeded random calls of Explain, Obscure and the library
// properties on one transactor, made through the real DLL as a host with
// bugs of its own would make them, with the checks of StressCase after every
// call; after every call as well, well-formed calls on the same object must
// still give the results a fresh object gives, and at every heap checkpoint
// the busy heap must not have grown.
//
//   transactor_stress.exe SEED SECONDS        runs cases 0, 1, 2, ... for SECONDS seconds
//   transactor_stress.exe SEED --cases N      runs cases 0 to N - 1
//   transactor_stress.exe SEED --only K       runs case K alone and describes it
//   options: --heap-every N (cases between heap checkpoints, default 1: after every case), --json
//
// Exit status: 0 no finding, 1 a finding (its case is printed for replay), 2 bad input.
#include "StressCase.h"
#include "Random.h"
#include "fakes/FakeParam.h"
#include "ProcessUsage.h"
#include "support/Transactor.h"
#include "util/UniqueBstr.h"
#include "util/UniqueModule.h"
#include "util/UniqueVariant.h"

#include <chrono>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

struct Settings {
    uint64_t seed = 0;
    double seconds = 0;
    uint64_t cases = 0;                  // when not 0: run this many instead of for `seconds`
    std::optional<uint64_t> only;        // run this one case alone
    uint64_t heapEvery = 1;
    bool json = false;
};

// Busy heap bytes may grow by this much from the first checkpoint without
// being a leak: under Wine they settle about 10 KiB higher within the first
// minute, as the platform meets each kind of case for the first time. A leak
// of 16 bytes in each faulting call exceeds it within about a minute.
constexpr SIZE_T HeapGrowthBound = 64 * 1024;

// ---- well-formed calls and what they must give

struct ReferenceResults {
    HRESULT explain = S_OK, obscure = S_OK;
    std::wstring value, bit, display;
    USHORT code = 0;
    std::vector<BYTE> bytes;
    LONG references = 0;
    bool operator==(const ReferenceResults&) const = default;
};

ReferenceResults RunReferenceCalls(IParamTransactor& transactor) {
    static UniqueVariant frame;
    if (V_VT(&frame.Get()) == VT_EMPTY) {
        V_VT(&frame.Get()) = VT_ARRAY | VT_UI1;
        V_ARRAY(&frame.Get()) = SafeArrayCreateVector(VT_UI1, 0, 8);
        std::memcpy(V_ARRAY(&frame.Get())->pvData, "ABCDEFGH", 8);
    }
    FakeParam param;
    param.StartByte = 2;
    param.ByteCount = 3;
    param.DisplaySuffix = L"V";
    param.ObscureText = L"0917";
    ReferenceResults results;
    LONG status = 42, count = 0;
    results.explain = transactor.Explain(&param, frame.Get(), 8, &status);
    UniqueVariant data;
    results.obscure = transactor.Obscure(&param, &data.Get(), &count, &status);
    if (V_VT(&data.Get()) == (VT_ARRAY | VT_UI1)) {
        const auto* bytes = static_cast<const BYTE*>(V_ARRAY(&data.Get())->pvData);
        results.bytes.assign(bytes, bytes + count);
    }
    results.value = param.SetValue;
    results.bit = param.SetBit;
    results.display = param.SetDisplay;
    results.code = param.SetCode;
    results.references = param.OutstandingReferences();
    return results;
}

std::wstring LibraryPath(IParamTransactor& transactor, HRESULT (STDMETHODCALLTYPE IParamTransactor::*get)(BSTR*)) {
    UniqueBstr path;
    (transactor.*get)(path.Receive());
    return std::wstring(path.View());
}

// What well-formed calls give on a fresh transactor, for every pair of
// explain and obscure libraries the cases put.
class ReferenceCheck {
public:
    ReferenceCheck() {
        for (const std::wstring& explainLibrary : LibraryPathsTried()) {
            for (const std::wstring& obscureLibrary : LibraryPathsTried()) {
                ComPtr<IParamTransactor> fresh = NewTransactor();
                PutPath(*fresh.Get(), &IParamTransactor::put_ExplainLibrary, explainLibrary);
                PutPath(*fresh.Get(), &IParamTransactor::put_ObscureLibrary, obscureLibrary);
                FExpected.emplace(std::make_pair(explainLibrary, obscureLibrary), RunReferenceCalls(*fresh.Get()));
            }
        }
    }

    bool Holds(IParamTransactor& transactor) {
        const auto key = std::make_pair(LibraryPath(transactor, &IParamTransactor::get_ExplainLibrary),
                                        LibraryPath(transactor, &IParamTransactor::get_ObscureLibrary));
        const auto expected = FExpected.find(key);
        return expected != FExpected.end() && RunReferenceCalls(transactor) == expected->second;
    }

private:
    static void PutPath(IParamTransactor& transactor, HRESULT (STDMETHODCALLTYPE IParamTransactor::*put)(BSTR),
                        const std::wstring& path) {
        UniqueBstr value = UniqueBstr::Copy(path);
        (transactor.*put)(value.Get());
    }

    std::map<std::pair<std::wstring, std::wstring>, ReferenceResults> FExpected;
};

// ---- the run

// The case in progress, for the report of a crash that ends the process.
struct CaseInProgress {
    uint64_t seed = 0;
    uint64_t index = 0;
    bool running = false;
} caseInProgress;

// A fault that escapes the transactor ends the process, as it would end the
// host's: the case is reported first, so that it can be replayed.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
    if (!caseInProgress.running) return EXCEPTION_CONTINUE_SEARCH;
    const auto seed = static_cast<unsigned long long>(caseInProgress.seed);
    const auto index = static_cast<unsigned long long>(caseInProgress.index);
    std::printf("FINDING in case %llu of seed %llu: the process crashed (exception %08lX)\n"
                "  replay the run up to it: scripts/stress.sh %llu --cases %llu\n"
                "  replay the case alone:   scripts/stress.sh %llu --only %llu\n",
                index, seed, static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode), seed, index + 1,
                seed, index);
    std::fflush(stdout);
    ExitProcess(1);
}

struct Tally {
    uint64_t cases = 0, explain = 0, obscure = 0, property = 0, faults = 0, failures = 0;
    long long heapGrowth = 0;
    double seconds = 0;
    std::optional<uint64_t> findingCase;
    std::string finding, description;
};

double Elapsed(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Count(Tally& tally, const CaseOutcome& outcome) {
    ++tally.cases;
    ++(outcome.kind == CaseKind::Explain ? tally.explain : outcome.kind == CaseKind::Obscure ? tally.obscure
                                                                                            : tally.property);
    if (outcome.faulted) ++tally.faults;
    if (FAILED(outcome.result)) ++tally.failures;
}

void PrintProgress(const Tally& tally) {
    std::printf("[%7.1f s] %llu cases (%llu Explain, %llu Obscure, %llu property), %llu faults, heap %+lld bytes\n",
                tally.seconds, static_cast<unsigned long long>(tally.cases),
                static_cast<unsigned long long>(tally.explain), static_cast<unsigned long long>(tally.obscure),
                static_cast<unsigned long long>(tally.property), static_cast<unsigned long long>(tally.faults),
                tally.heapGrowth);
    std::fflush(stdout);
}

Tally Run(const Settings& settings) {
    ComPtr<IParamTransactor> transactor = NewTransactor();
    ReferenceCheck reference;
    Tally tally;
    const auto start = std::chrono::steady_clock::now();
    double lastProgress = 0;
    std::optional<SIZE_T> heapBaseline;
    const uint64_t first = settings.only.value_or(0);
    for (uint64_t index = first;; ++index) {
        if (settings.only ? index > *settings.only
                          : settings.cases ? index >= settings.cases : Elapsed(start) >= settings.seconds)
            break;
        std::string description;
        caseInProgress = {settings.seed, index, true};
        CaseOutcome outcome = RunCase(*transactor.Get(), CaseSeed(settings.seed, index), description);
        caseInProgress.running = false;
        Count(tally, outcome);
        if (outcome.finding.empty() && !reference.Holds(*transactor.Get()))
            outcome.finding = "well-formed calls no longer give the results of a fresh object; ";
        if (outcome.finding.empty() && (index + 1) % settings.heapEvery == 0) {
            const SIZE_T heap = CountBusyHeapBytes();
            if (!heapBaseline) heapBaseline = heap;
            tally.heapGrowth = static_cast<long long>(heap) - static_cast<long long>(*heapBaseline);
            if (heap > *heapBaseline + HeapGrowthBound)
                outcome.finding = "the busy heap grew by " + std::to_string(tally.heapGrowth) +
                                  " bytes since the first checkpoint; ";
        }
        tally.seconds = Elapsed(start);
        if (settings.only) tally.description = description;
        if (!outcome.finding.empty()) {
            tally.findingCase = index;
            tally.finding = outcome.finding.substr(0, outcome.finding.size() - 2);  // less the last "; "
            tally.description = description;
            break;
        }
        if (!settings.json && tally.seconds - lastProgress >= 10) {
            PrintProgress(tally);
            lastProgress = tally.seconds;
        }
    }
    return tally;
}

// ---- output

std::string JsonText(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

void Report(const Settings& settings, const Tally& tally) {
    const auto count = [](uint64_t value) { return static_cast<unsigned long long>(value); };
    if (settings.json) {
        std::printf("{\"seed\":%llu,\"seconds\":%.1f,\"cases\":%llu,\"explain\":%llu,\"obscure\":%llu,\"property\":%llu,"
                    "\"faults\":%llu,\"failures\":%llu,\"heapGrowth\":%lld,\"finding\":",
                    count(settings.seed), tally.seconds, count(tally.cases), count(tally.explain),
                    count(tally.obscure), count(tally.property), count(tally.faults), count(tally.failures),
                    tally.heapGrowth);
        if (tally.findingCase)
            std::printf("{\"case\":%llu,\"what\":%s,\"description\":%s}}\n", count(*tally.findingCase),
                        JsonText(tally.finding).c_str(), JsonText(tally.description).c_str());
        else
            std::printf("null}\n");
        return;
    }
    if (settings.only) std::printf("case %llu: %s\n", count(*settings.only), tally.description.c_str());
    std::printf("seed %llu: %llu cases in %.1f s (%llu Explain, %llu Obscure, %llu property), %llu faults, "
                "%llu failing answers, heap %+lld bytes: %s\n",
                count(settings.seed), count(tally.cases), tally.seconds, count(tally.explain), count(tally.obscure),
                count(tally.property), count(tally.faults), count(tally.failures), tally.heapGrowth,
                tally.findingCase ? "FINDING" : "no finding");
    if (!tally.findingCase) return;
    std::printf("FINDING in case %llu of seed %llu: %s\n  the case: %s\n"
                "  replay the run up to it: scripts/stress.sh %llu --cases %llu\n"
                "  replay the case alone:   scripts/stress.sh %llu --only %llu\n",
                count(*tally.findingCase), count(settings.seed), tally.finding.c_str(), tally.description.c_str(),
                count(settings.seed), count(*tally.findingCase + 1), count(settings.seed), count(*tally.findingCase));
}

// ---- command line

std::optional<uint64_t> Number(const char* text) {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (!*text || *end || text[0] == '-') return std::nullopt;
    return value;
}

std::optional<Settings> ParseArguments(int argc, char** argv) {
    if (argc < 3) return std::nullopt;
    Settings settings;
    const auto seed = Number(argv[1]);
    if (!seed) return std::nullopt;
    settings.seed = *seed;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--json") {
            settings.json = true;
        } else if ((argument == "--cases" || argument == "--only" || argument == "--heap-every") && hasValue) {
            const auto value = Number(argv[++i]);
            if (!value) return std::nullopt;
            if (argument == "--cases") settings.cases = *value;
            if (argument == "--only") settings.only = *value;
            if (argument == "--heap-every") settings.heapEvery = *value ? *value : 1;
        } else if (const auto seconds = Number(argv[i]); seconds && i == 2) {
            settings.seconds = static_cast<double>(*seconds);
        } else {
            return std::nullopt;
        }
    }
    if (!settings.cases && !settings.only && settings.seconds <= 0) return std::nullopt;
    return settings;
}

// Freed texts (BSTRs) are kept by the platform for reuse, in a cache that
// fills slowly with texts of every length: it is turned off, so that it
// does not count as growth.
void DisableTextCache() {
    using SetOaNoCacheProc = void(WINAPI*)();
    if (const auto disable = reinterpret_cast<SetOaNoCacheProc>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("oleaut32.dll"), "SetOaNoCache"))))
        disable();
}

constexpr char Usage[] =
    "usage: transactor_stress SEED SECONDS [--heap-every N] [--json]\n"
    "       transactor_stress SEED --cases N [--heap-every N] [--json]\n"
    "       transactor_stress SEED --only CASE\n"
    "SEED and the numbers are non-negative integers, e.g. transactor_stress 42 600\n";

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Settings> settings = ParseArguments(argc, argv);
    if (!settings) {
        std::fputs(Usage, stderr);
        return 2;
    }
    // The host calls on a single-threaded apartment thread.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    DisableTextCache();
    SetUnhandledExceptionFilter(ReportCrash);
    // Unloading a MinGW C++ extension leaves memory behind whoever unloads
    // it: the test extensions stay loaded, the transactor's own loads and
    // frees only count references.
    std::vector<UniqueModule> keptLoaded;
    for (const char* library : {"ExtSucceed.dll", "ExtRefuse.dll", "ExtNullPointer.dll", "ExtRaiseCustom.dll"})
        keptLoaded.emplace_back(LoadLibraryA(library));
    int exitCode = 1;
    try {
        const Tally tally = Run(*settings);
        Report(*settings, tally);
        exitCode = tally.findingCase ? 1 : 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "transactor_stress: %s\n", error.what());
    }
    CoUninitialize();
    return exitCode;
}
