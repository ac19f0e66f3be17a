#pragma once
// What an extension costs through IsolatedExtension.dll, over the same
// extension loaded directly: the calls of a burst, the first call of a burst
// (the helper woken from its sleep), the helper's start, and one IParam call
// made from the helper.

struct IsolationFigures {
    double burstMicroseconds;     // per call, median over bursts of 50 Explain calls, the helper awake
    double coldBurstMicroseconds; // the same with the burst's first call waking the helper
    double firstCallMicroseconds; // the first call of a burst, over a direct call
    double startMilliseconds;    // the first call of a fresh copy: the helper's start
    double paramCallMicroseconds; // per IParam call made from the helper, over one made in process
};

// Measured once per run (the first call measures, later calls answer the same).
const IsolationFigures& MeasureIsolation(int rounds);

// A call 2 ms after the previous one to an isolated extension that keeps
// 300,000 heap blocks, over the same call to one with an empty heap: the
// helper's checks of itself must cost such a call nothing.
struct PauseFigures {
    double medianRatio;
    double p99Ratio;
};

const PauseFigures& MeasureCallsAfterPauses(int rounds);
