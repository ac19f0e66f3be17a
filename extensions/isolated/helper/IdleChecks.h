#pragma once
// The helper's checks of itself, off the calls' path so that they cost the
// calls nothing:
// - its committed private memory, summed over its address space (Wine's
//   GetProcessMemoryInfo reports PrivateUsage 0 and counts touched pages
//   only; a walk takes some 35 us): every 10 calls, after the call's result
//   is posted (during a burst at most every 2 ms) or when the serving loop
//   stops spinning for the next call, and from a thread of its own, which
//   looks every 100 ms, at least every second. Past the limit the serving loop ends the helper
//   after the call in progress, or before the next call when the limit was
//   passed while it waited, and the host starts a new one for that call;
// - its heaps, from that thread, validated only when no call came for a
//   while and calls came since the last validation, at most once a second:
//   a validation holds a heap's lock, which a call must not wait for. A
//   corrupted heap ends the helper at once.
#include "IsolationChannel.h"
#include "util/KernelHandle.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

class IdleChecks {
public:
    // Starts the thread; false when it cannot.
    bool Start(IsolationChannel& shared);
    // A call has ended (its result posted): measures when it is time.
    void CallEnded();
    // The serving loop stopped spinning and is about to sleep.
    void BeforeSleep();
    // The last measure found more committed memory than the limit.
    bool OverLimit() const noexcept { return FOverLimit.load(std::memory_order_relaxed); }

private:
    static DWORD WINAPI Run(LPVOID checks);
    bool MeasureDue() const noexcept;
    void MeasureMemory();
    void ValidateHeapsWhenIdle();

    IsolationChannel* FShared = nullptr;
    UniqueKernelHandle FThread;
    std::atomic<uint32_t> FCalls{0};
    std::atomic<bool> FOverLimit{false};
    std::atomic<uint32_t> FCallsMeasured{0};
    std::atomic<ULONGLONG> FMeasuredAt{0};
    uint32_t FCallsAtLastLook = 0, FCallsAtValidation = 0;
    ULONGLONG FQuietSince = 0, FValidatedAt = 0;
};
