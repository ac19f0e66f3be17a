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

// Performance counter ticks taken by `iterations` calls of `call`.
double Time(const std::function<void()>& call, int iterations) {
    const LONGLONG start = Ticks();
    for (int i = 0; i < iterations; ++i) call();
    return static_cast<double>(Ticks() - start);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

double MedianRatio(const std::function<void()>& baseline, const std::function<void()>& candidate,
                   const RatioSettings& settings) {
    // One untimed round first, so that caches and lazily loaded code are warm.
    Time(baseline, settings.iterations);
    Time(candidate, settings.iterations);

    std::vector<double> ratios;
    for (int round = 0; round < settings.rounds; ++round) {
        // Alternating the order cancels a drift in the machine's speed.
        double baselineTime = 0, candidateTime = 0;
        if (round % 2 == 0) {
            baselineTime = Time(baseline, settings.iterations);
            candidateTime = Time(candidate, settings.iterations);
        } else {
            candidateTime = Time(candidate, settings.iterations);
            baselineTime = Time(baseline, settings.iterations);
        }
        ratios.push_back(candidateTime / std::max(baselineTime, 1.0));
    }
    return Median(ratios);
}
