// Times Explain and Obscure through the IParamTransactor vtable and prints
// ratios between cases, which stay comparable from machine to machine where
// absolute times would not: each case against its floor (the host calls it
// cannot avoid), against a larger or smaller case of its kind, or, for the
// extension call, the difference per call. A row with a goal says whether
// this run met it; the exit status is 1 when one was not met.
//
//   transactor_bench.exe [milliseconds per batch] [rounds]
#include "BenchCases.h"
#include "CaptureBench.h"
#include "IsolationBench.h"
#include "RatioMeter.h"

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>

namespace {

enum class Measure { Ratio, DifferenceMicroseconds };

// One printed line: what is compared, how it is measured, its goal (an
// upper bound, or 0 for a line that is only to be read), what it means, and
// how to time it.
struct BenchRow {
    const char* comparison;
    Measure measure;
    double goal;
    const char* meaning;
    std::function<PairTiming(const RatioSettings&)> time;
};

template <typename Baseline, typename Candidate>
PairTiming Time(Baseline& baseline, Candidate& candidate, const RatioSettings& settings) {
    return TimePair(std::ref(baseline), std::ref(candidate), settings);
}

// 4 hex characters are 2 bytes: 16 bit characters; n hex characters, 4n.
PairTiming ExplainHexAgainstItsFloor(LONG frameLength, LONG hexCharacters, const RatioSettings& settings) {
    ExplainCase explain(frameLength, hexCharacters, true);
    ExplainBuiltInFloor floor(explain.Param(), size_t(hexCharacters) * 4, size_t(hexCharacters));
    return Time(floor, explain, settings);
}

const BenchRow Rows[] = {
    {"Explain built-in, 4 hex chars, 16-byte frame / its floor", Measure::Ratio, 1.3,
     "the operation's own work on a small field",
     [](const RatioSettings& settings) { return ExplainHexAgainstItsFloor(16, 4, settings); }},
    {"Explain built-in, 4 hex chars, capture on - off (us)", Measure::DifferenceMicroseconds, 0.3,
     "recording a call into the capture file, in a burst",
     [](const RatioSettings& settings) { return TimeCaptureOnAgainstOff(settings); }},
    {"Obscure built-in, 8 digits / its floor", Measure::Ratio, 1.3,
     "the operation's own work, the byte array it returns included",
     [](const RatioSettings& settings) {
         ObscureCase obscure(8);
         ObscureBuiltInFloor floor(obscure.Param(), 8);
         return Time(floor, obscure, settings);
     }},
    {"Explain through an extension doing nothing - built-in (us)", Measure::DifferenceMicroseconds, 0.5,
     "the cost of an extension call, its buffers and its host calls",
     [](const RatioSettings& settings) {
         ExplainCase builtIn(16, 4, true), throughExtension(16, 4, true, L"ExtEmptyTexts.dll");
         if (!GetModuleHandleA("ExtEmptyTexts.dll")) throw std::runtime_error("ExtEmptyTexts.dll did not load");
         return Time(builtIn, throughExtension, settings);
     }},
    {"Explain 4096 hex chars / its floor", Measure::Ratio, 6,
     "the operation's own work per character of a long field",
     [](const RatioSettings& settings) { return ExplainHexAgainstItsFloor(4096 + 16, 4096, settings); }},
    {"Explain 8192 hex chars / 4096 hex chars", Measure::Ratio, 2.1,
     "about 2: the cost grows with the field, not faster",
     [](const RatioSettings& settings) {
         ExplainCase shorter(8192 + 16, 4096, true), longer(8192 + 16, 8192, true);
         return Time(shorter, longer, settings);
     }},
    {"Explain 4 hex chars, 1 MiB frame / 16-byte frame", Measure::Ratio, 1.05,
     "about 1: the field is read in place, the frame never copied or scanned",
     [](const RatioSettings& settings) {
         ExplainCase smallFrame(16, 4, true), largeFrame(1024 * 1024, 4, true);
         return Time(smallFrame, largeFrame, settings);
     }},
    {"Explain through FieldRules.dll / the C sample", Measure::Ratio, 1.5,
     "the rules extension against one written by hand, same voltage field",
     [](const RatioSettings& settings) {
         // Parameter 1 of each: raw x 0.01 V (for FieldRules.dll, the rule in
         // FieldRules.ini next to it).
         ExplainCase sample(16, 4, true, L"EngineeringUnits.dll", 1), rules(16, 4, true, L"FieldRules.dll", 1);
         if (!GetModuleHandleA("EngineeringUnits.dll") || !GetModuleHandleA("FieldRules.dll"))
             throw std::runtime_error("EngineeringUnits.dll or FieldRules.dll did not load");
         return Time(sample, rules, settings);
     }},
    {"Explain DL/T 645 bias + bcd DCBA via FieldRules / C sample", Measure::Ratio, 1.5,
     "a field that needs the rules' bias and reversed bcd, against the sample",
     [](const RatioSettings& settings) {
         // FieldRules.ini's parameter 8: 59 33 33 33 is 0.26 kWh.
         ExplainCase sample(16, 4, true, L"EngineeringUnits.dll", 1),
             rules(std::string("\x59\x33\x33\x33\x8A\x16\x0D\x0D\x0D\x0D\x0D\x0D\x0D\x0D\x0D\x0D", 16), 4,
                   L"FieldRules.dll", 8);
         return Time(sample, rules, settings);
     }},
    {"Explain SunSpec marker + scale factor via FieldRules / C sample", Measure::Ratio, 1.5,
     "a field whose marker is checked and whose power of ten is read from the frame, against the sample",
     [](const RatioSettings& settings) {
         // FieldRules.ini's parameter 10: 1510 with A_SF -2 four registers on is 15.10 A.
         ExplainCase sample(16, 4, true, L"EngineeringUnits.dll", 1),
             rules(std::string("\x05\xE6\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFE\x0D\x0D\x0D\x0D\x0D\x0D", 16), 10,
                   L"FieldRules.dll", 10);
         return Time(sample, rules, settings);
     }},
    {"Explain isolated - direct, bursts of 50, extension doing nothing (us)", Measure::DifferenceMicroseconds, 2,
     "IsolatedExtension.dll's cost per call of a burst: the shared-memory round trip",
     [](const RatioSettings& settings) { return PairTiming{0, MeasureIsolation(settings.rounds).burstMicroseconds}; }},
    {"The same, the burst's first call waking the helper (us)", Measure::DifferenceMicroseconds, 0,
     "a burst after a pause: its first call pays the helper's wake-up",
     [](const RatioSettings& settings) { return PairTiming{0, MeasureIsolation(settings.rounds).coldBurstMicroseconds}; }},
    {"Explain isolated - direct, first call of a burst (us)", Measure::DifferenceMicroseconds, 0,
     "the helper woken from its sleep: a kernel wake-up",
     [](const RatioSettings& settings) { return PairTiming{0, MeasureIsolation(settings.rounds).firstCallMicroseconds}; }},
    {"Isolated: first call of a fresh copy, the helper's start (ms)", Measure::DifferenceMicroseconds, 0,
     "once per load, and after each restart",
     [](const RatioSettings& settings) { return PairTiming{0, MeasureIsolation(settings.rounds).startMilliseconds}; }},
    {"Isolated IParam call - in-process IParam call (us)", Measure::DifferenceMicroseconds, 0,
     "each IParam call the extension makes goes to the host and back",
     [](const RatioSettings& settings) { return PairTiming{0, MeasureIsolation(settings.rounds).paramCallMicroseconds}; }},
    {"Isolated, 2 ms after the last: 300,000 heap blocks / none, median", Measure::Ratio, 1.2,
     "the helper's checks of its heap and memory cost a call after a pause nothing",
     [](const RatioSettings& settings) { return PairTiming{MeasureCallsAfterPauses(settings.rounds).medianRatio, 0}; }},
    {"The same, 99th percentile", Measure::Ratio, 1.5, "no call waits for a heap validation",
     [](const RatioSettings& settings) { return PairTiming{MeasureCallsAfterPauses(settings.rounds).p99Ratio, 0}; }},
    {"Explain hex 8-char field / plain 4-byte field", Measure::Ratio, 0,
     "the cost of decoding and reversing hex",
     [](const RatioSettings& settings) {
         ExplainCase plainField(16, 4, false), hexField(16, 8, true);
         return Time(plainField, hexField, settings);
     }},
    {"Obscure 64 digits / 4 digits", Measure::Ratio, 0,
     "how the cost grows with the digits (16 times as many)",
     [](const RatioSettings& settings) {
         ObscureCase fewDigits(4), manyDigits(64);
         return Time(fewDigits, manyDigits, settings);
     }},
};

// Prints one row; false when it has a goal that this run did not meet.
bool Report(const BenchRow& row, const RatioSettings& settings) {
    const PairTiming timing = row.time(settings);
    const double value = row.measure == Measure::Ratio ? timing.ratio : timing.differenceMicroseconds;
    std::printf("  %-62s %7.2f", row.comparison, value);
    if (row.goal <= 0) {
        std::printf("                      %s\n", row.meaning);
        std::fflush(stdout);
        return true;
    }
    const bool met = value <= row.goal;
    std::printf("  goal <= %-5.2f %-7s  %s\n", row.goal, met ? "met" : "NOT MET", row.meaning);
    std::fflush(stdout);
    return met;
}

bool RunAll(const RatioSettings& settings) {
    std::printf("Medians of %d rounds of interleaved batches of about %g ms:\n", settings.rounds,
                settings.batchMilliseconds);
    int missed = 0, goals = 0;
    for (const BenchRow& row : Rows) {
        if (row.goal > 0) ++goals;
        if (!Report(row, settings)) ++missed;
    }
    std::printf("%d of %d goals met\n", goals - missed, goals);
    return missed == 0;
}

double PositiveArgument(int argc, char** argv, int index, double fallback) {
    const double value = index < argc ? std::atof(argv[index]) : 0;
    return value > 0 ? value : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    RatioSettings settings;
    settings.batchMilliseconds = PositiveArgument(argc, argv, 1, settings.batchMilliseconds);
    settings.rounds = static_cast<int>(PositiveArgument(argc, argv, 2, settings.rounds));

    // The host calls on a single-threaded apartment thread.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    int exitCode = 0;
    try {
        exitCode = RunAll(settings) ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "transactor_bench: %s\n", error.what());
        exitCode = 1;
    }
    CoUninitialize();
    return exitCode;
}
