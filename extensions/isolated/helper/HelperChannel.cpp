#include "HelperChannel.h"

#include "outofprocess/HandleArgument.h"

namespace {
// After each call the helper spins this long for the next call of a burst
// before it sleeps: well under the 100 µs after which it must stop.
constexpr int64_t HelperSpinMicroseconds = 50;
}  // namespace

bool HelperChannel::Open(const wchar_t* const handles[4]) {
    FMapping.Reset(HandleFromArgument(handles[0]));
    FHelperEvent.Reset(HandleFromArgument(handles[1]));
    FHostEvent.Reset(HandleFromArgument(handles[2]));
    FHost.Reset(HandleFromArgument(handles[3]));
    if (!FMapping || !FHelperEvent || !FHostEvent || !FHost) return false;
    // The view stays mapped for the helper's life; it must hold the channel.
    FChannel = static_cast<IsolationChannel*>(
        MapViewOfFile(FMapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(IsolationChannel)));
    MEMORY_BASIC_INFORMATION view{};
    return FChannel && VirtualQuery(FChannel, &view, sizeof view) == sizeof view &&
           view.RegionSize >= sizeof(IsolationChannel);
}

int64_t HelperChannel::SpinTicks() {
    static const int64_t ticks = ::SpinTicks(HelperSpinMicroseconds);
    return ticks;
}

LONG HelperChannel::SleepForTurn(LONG first, LONG second) {
    const HANDLE handles[2] = {FHelperEvent.Get(), FHost.Get()};
    for (;;) {
        InterlockedExchange(&FChannel->helperSleeps, 1);
        const LONG turn = FChannel->turn;
        if (turn == first || turn == second) {
            InterlockedExchange(&FChannel->helperSleeps, 0);
            return turn;
        }
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0) ExitProcess(0);  // the host ended
    }
}
