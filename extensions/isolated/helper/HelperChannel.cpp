#include "HelperChannel.h"

namespace {
// After each call the helper spins this long for the next call of a burst
// before it sleeps: well under the 100 µs after which it must stop.
constexpr int64_t HelperSpinMicroseconds = 50;
}  // namespace

bool HelperChannel::Open(const wchar_t* name, DWORD hostProcessId) {
    wchar_t objectName[160];
    ChannelObjectName(objectName, 160, name, L"memory");
    FMapping.Reset(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, objectName));
    ChannelObjectName(objectName, 160, name, L"helper");
    FHelperEvent.Reset(OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, objectName));
    ChannelObjectName(objectName, 160, name, L"host");
    FHostEvent.Reset(OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, objectName));
    FHost.Reset(OpenProcess(SYNCHRONIZE, FALSE, hostProcessId));
    if (!FMapping || !FHelperEvent || !FHostEvent || !FHost) return false;
    // The view stays mapped for the helper's life.
    FChannel = static_cast<IsolationChannel*>(
        MapViewOfFile(FMapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(IsolationChannel)));
    return FChannel != nullptr;
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
