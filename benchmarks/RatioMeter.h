#pragma once
// Times two ways of calling against each other in interleaved short batches.
// Each round runs a batch of the baseline and a batch of the candidate, the
// same number of calls each, in alternating order; the results are medians
// over the rounds, so that a round disturbed by other work on the machine
// does not count and a drift in the machine's speed cancels out.

#include <functional>

// Batches are kept short, a few dozen microseconds, so that most of them run
// without the thread being interrupted: on a busy machine a longer batch is
// rarely a clean one, and the spread of the ratios grows with its length.
struct RatioSettings {
    int rounds = 401;
    double batchMilliseconds = 0.03;  // the length of one batch of the slower side, about
};

struct PairTiming {
    double ratio;                  // candidate's time / baseline's time
    double differenceMicroseconds; // candidate's time - baseline's time, per call
};

PairTiming TimePair(const std::function<void()>& baseline, const std::function<void()>& candidate,
                    const RatioSettings& settings);

// Time of `candidate` divided by time of `baseline`, median over the rounds.
inline double MedianRatio(const std::function<void()>& baseline, const std::function<void()>& candidate,
                          const RatioSettings& settings) {
    return TimePair(baseline, candidate, settings).ratio;
}
