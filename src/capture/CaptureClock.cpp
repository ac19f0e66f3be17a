#include "capture/CaptureClock.h"

#include <windows.h>

CaptureClock GCaptureClock;

void CaptureClock::Calibrate() noexcept {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const uint64_t startTicks = Ticks();
    do {
        QueryPerformanceCounter(&now);
    } while (now.QuadPart - start.QuadPart < frequency.QuadPart / 500);
    const uint64_t endTicks = Ticks();
    const double elapsed = static_cast<double>(now.QuadPart - start.QuadPart) * 1e7 / static_cast<double>(frequency.QuadPart);
    FHundredsOfNanosecondsPerTick = endTicks > startTicks ? elapsed / static_cast<double>(endTicks - startTicks) : 0;
    FILETIME wall;
    GetSystemTimeAsFileTime(&wall);
    FBaseTicks = Ticks();
    FBaseFileTime = (uint64_t{wall.dwHighDateTime} << 32) | wall.dwLowDateTime;
}

uint64_t CaptureClock::FileTime(uint64_t ticks) const noexcept {
    const double since = static_cast<double>(static_cast<int64_t>(ticks - FBaseTicks)) * FHundredsOfNanosecondsPerTick;
    return FBaseFileTime + static_cast<uint64_t>(static_cast<int64_t>(since));
}

uint32_t CaptureClock::HundredsOfNanoseconds(uint64_t from, uint64_t to) const noexcept {
    return to > from ? static_cast<uint32_t>(static_cast<double>(to - from) * FHundredsOfNanosecondsPerTick) : 0;
}
