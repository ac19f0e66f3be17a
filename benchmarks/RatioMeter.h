#pragma once
// Times two ways of calling against each other. Each round runs the baseline
// and the candidate the same number of times, in alternating order, and keeps
// the ratio of their times; the result is the median ratio of all rounds, so
// that a round disturbed by other work on the machine does not count.

#include <functional>

struct RatioSettings {
    int rounds = 9;
    int iterations = 50000;
};

// Time of `candidate` divided by time of `baseline`, median over the rounds.
double MedianRatio(const std::function<void()>& baseline, const std::function<void()>& candidate,
                   const RatioSettings& settings);
