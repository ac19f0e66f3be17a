#pragma once
// The time and duration of captured calls from the processor's time-stamp
// counter: a read costs a few nanoseconds, where the system's clocks cost
// hundreds under Wine. The counter's rate is measured against the
// performance counter once, when capture switches on (about 2 ms), and kept
// as a 32.32 fixed-point factor: turning ticks into time is then three
// integer multiplications, where a double would need the x87 unit's rounding
// mode switched back and forth for each conversion to an integer.

#include <cstdint>

class CaptureClock {
public:
    // Measures the counter's rate and notes the wall time it stands for.
    void Calibrate() noexcept;

    static uint64_t Ticks() noexcept { return __builtin_ia32_rdtsc(); }
    // UTC in 100 ns units since 1601 (FILETIME) at `ticks`.
    uint64_t FileTime(uint64_t ticks) const noexcept {
        const uint64_t since = ticks - FBaseTicks;
        return static_cast<int64_t>(since) >= 0 ? FBaseFileTime + Scaled(since) : FBaseFileTime - Scaled(0 - since);
    }
    // 100 ns units between two readings (at most UINT32_MAX).
    uint32_t HundredsOfNanoseconds(uint64_t from, uint64_t to) const noexcept {
        const uint64_t units = to > from ? Scaled(to - from) : 0;
        return units > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(units);
    }

private:
    // `ticks` in 100 ns units: ticks * FPerTick / 2^32, taken in two halves.
    uint64_t Scaled(uint64_t ticks) const noexcept {
        return (ticks >> 32) * FPerTick + (((ticks & UINT32_MAX) * FPerTick) >> 32);
    }

    uint64_t FBaseTicks = 0, FBaseFileTime = 0;
    uint32_t FPerTick = 0;  // 100 ns units per tick, times 2^32 (a counter of 10 MHz or more)
};

// The process's clock for capture records.
extern CaptureClock GCaptureClock;
