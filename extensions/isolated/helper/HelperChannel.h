#pragma once
// The helper's side of the channel: the shared memory, the two events and
// the host process, whose end ends the helper, all four inherited from the
// host (ChannelObjects.h), their values on the command line.
#include "IsolationChannel.h"
#include "util/KernelHandle.h"

#include <cstdint>

class HelperChannel {
public:
    // Takes the channel the host handed down: the values of its mapping, its
    // two events and the host's process; false when they are not those.
    bool Open(const wchar_t* const handles[4]);
    IsolationChannel& Shared() noexcept { return *FChannel; }
    HANDLE Host() const noexcept { return FHost.Get(); }

    // Waits for one of the helper's turns; the helper ends with the host.
    // `idle` runs once when the spinning stops, before the helper sleeps.
    template <typename Idle>
    LONG WaitForTurn(LONG first, LONG second, Idle&& idle) {
        LONG turn = SpinForTurn(FChannel, first, second, SpinTicks());
        if (turn != TurnIdle) return turn;
        idle();
        return SleepForTurn(first, second);
    }
    LONG WaitForTurn(LONG first, LONG second) {
        return WaitForTurn(first, second, [] {});
    }
    void Post(LONG turn) { PostTurn(FChannel, turn, &FChannel->hostSleeps, FHostEvent.Get()); }

private:
    static int64_t SpinTicks();
    LONG SleepForTurn(LONG first, LONG second);

    UniqueKernelHandle FMapping, FHelperEvent, FHostEvent, FHost;
    IsolationChannel* FChannel = nullptr;
};
