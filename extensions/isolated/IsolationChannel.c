/* The parts of the channel that both sides run. */
#include "IsolationChannel.h"

#include <intrin.h>
#include <wchar.h>

/* IParam's vtable as the host's type library declares it: the named methods
 * by slot; every other slot from 5 to 79 is a Reserved method without
 * arguments. */
enum ParamShape ParamSlotShape(int32_t slot) {
    switch (slot) {
    case 0: case 1: case 2: return ShapeIUnknown;
    case 3: return ShapeCheckText;
    case 4: return ShapeOptionText;
    case 8: case 10: case 12: case 28: case 30: case 48: case 56: return ShapeOutText;
    case 11: case 57: case 65: return ShapeInText;
    case 17: case 20: case 22: case 26: case 36: case 38: case 40: case 44: case 54: case 58: return ShapeOutLong;
    case 43: return ShapeInUShort;
    case 50: return ShapeOutBool;
    case 60: case 62: return ShapeOutByte;
    default: return ShapeNoArguments;
    }
}

/* The processor's time-stamp counter (constant rate on the processors that
 * run Windows 7 and later): read without a system call, unlike
 * QueryPerformanceCounter under Wine. */
static int64_t TimeStamp(void) { return (int64_t)__rdtsc(); }

int64_t SpinTicks(int64_t microseconds) {
    static volatile LONG64 perMicrosecond;
    if (!perMicrosecond) {
        /* Measured once against the performance counter, over 2 ms. */
        LARGE_INTEGER frequency, start, now;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        const int64_t stampStart = TimeStamp();
        do QueryPerformanceCounter(&now);
        while ((now.QuadPart - start.QuadPart) * 1000000 < 2000 * frequency.QuadPart);
        const int64_t elapsed = (now.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart;
        const int64_t rate = (TimeStamp() - stampStart) / (elapsed > 0 ? elapsed : 1);
        InterlockedExchange64(&perMicrosecond, rate > 0 ? rate : 1);
    }
    return perMicrosecond * microseconds;
}

LONG SpinForTurn(IsolationChannel* channel, LONG first, LONG second, int64_t ticks) {
    const int64_t start = TimeStamp();
    for (unsigned round = 0;; ++round) {
        const LONG turn = channel->turn;
        if (turn == first || turn == second) return turn;
        YieldProcessor();
        if ((round & 15) == 15 && TimeStamp() - start >= ticks) return TurnIdle;
    }
}

void PostTurn(IsolationChannel* channel, LONG turn, volatile LONG* otherSleeps, HANDLE otherEvent) {
    InterlockedExchange(&channel->turn, turn);
    if (InterlockedCompareExchange(otherSleeps, 0, 1) == 1) SetEvent(otherEvent);
}
