#pragma once
// The time and duration of captured calls from the processor's time-stamp
// counter: a read costs a few nanoseconds, where the system's clocks cost
// hundreds under Wine. The counter's rate is measured against the
// performance counter once, when capture switches on (about 2 ms).

#include <cstdint>

class CaptureClock {
public:
    // Measures the counter's rate and notes the wall time it stands for.
    void Calibrate() noexcept;

    static uint64_t Ticks() noexcept { return __builtin_ia32_rdtsc(); }
    // UTC in 100 ns units since 1601 (FILETIME) at `ticks`.
    uint64_t FileTime(uint64_t ticks) const noexcept;
    // 100 ns units between two readings.
    uint32_t HundredsOfNanoseconds(uint64_t from, uint64_t to) const noexcept;

private:
    uint64_t FBaseTicks = 0, FBaseFileTime = 0;
    double FHundredsOfNanosecondsPerTick = 0;
};

// The process's clock for capture records.
extern CaptureClock GCaptureClock;
