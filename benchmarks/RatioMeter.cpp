#include "RatioMeter.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

LONGLONG Ticks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double TicksPerMicrosecond() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1e6;
}

// Performance counter ticks taken by `calls` calls of `call`.
double Time(const std::function<void()>& call, int calls) {
    const LONGLONG start = Ticks();
    for (int i = 0; i < calls; ++i) call();
    return static_cast<double>(Ticks() - start);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// What reading the clock twice adds to a batch's time, which is taken off
// each batch: with short batches it would otherwise draw every ratio
// towards 1.
double ClockOverhead() {
    static const double overhead = [] {
        std::vector<double> empty;
        for (int i = 0; i < 101; ++i) empty.push_back(Time([] {}, 0));
        return Median(empty);
    }();
    return overhead;
}

// The fastest of a few timings of `calls` calls: one interrupted batch does
// not count.
double FastestTime(const std::function<void()>& call, int calls) {
    double fastest = Time(call, calls);
    for (int i = 0; i < 2; ++i) fastest = std::min(fastest, Time(call, calls));
    return fastest;
}

// The number of calls that makes a batch of the slower side last about the
// batch length. Both sides run first, untimed, to warm caches and lazily
// loaded code: a first call that loads a library or opens a file would
// otherwise stop the doubling at one call, and a batch of one call is timed
// to the clock's resolution (0.1 us under Wine) alone.
int CallsPerBatch(const std::function<void()>& baseline, const std::function<void()>& candidate,
                  const RatioSettings& settings) {
    for (int i = 0; i < 4; ++i) {
        baseline();
        candidate();
    }
    const double wanted = settings.batchMilliseconds * 1000 * TicksPerMicrosecond();
    int calls = 1;
    while (calls < (1 << 24)) {
        if (std::max(FastestTime(baseline, calls), FastestTime(candidate, calls)) >= wanted) break;
        calls *= 2;
    }
    return calls;
}

}  // namespace

PairTiming TimePair(const std::function<void()>& baseline, const std::function<void()>& candidate,
                    const RatioSettings& settings) {
    const int calls = CallsPerBatch(baseline, candidate, settings);
    std::vector<double> ratios, differences;
    for (int round = 0; round < settings.rounds; ++round) {
        double baselineTime = 0, candidateTime = 0;
        if (round % 2 == 0) {
            baselineTime = Time(baseline, calls);
            candidateTime = Time(candidate, calls);
        } else {
            candidateTime = Time(candidate, calls);
            baselineTime = Time(baseline, calls);
        }
        baselineTime = std::max(baselineTime - ClockOverhead(), 1.0);
        candidateTime = std::max(candidateTime - ClockOverhead(), 1.0);
        ratios.push_back(candidateTime / baselineTime);
        differences.push_back((candidateTime - baselineTime) / calls / TicksPerMicrosecond());
    }
    return {Median(ratios), Median(differences)};
}
