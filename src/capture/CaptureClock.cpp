#include "capture/CaptureClock.h"

#include <windows.h>

#include <algorithm>

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
    const double perTick = endTicks > startTicks ? elapsed / static_cast<double>(endTicks - startTicks) : 0;
    FPerTick = static_cast<uint32_t>(std::min(perTick * 4294967296.0, 4294967295.0));
    FILETIME wall;
    GetSystemTimeAsFileTime(&wall);
    FBaseTicks = Ticks();
    FBaseFileTime = (uint64_t{wall.dwHighDateTime} << 32) | wall.dwLowDateTime;
}
