#include "HelperChannel.h"

#include <cwchar>

namespace {
// After each call the helper spins this long for the next call of a burst
// before it sleeps: well under the 100 µs after which it must stop.
constexpr int64_t HelperSpinMicroseconds = 50;
}  // namespace

namespace {

// A handle value as the host wrote it: decimal digits only.
HANDLE HandleValue(const wchar_t* text) {
    if (!text[0] || std::wcsspn(text, L"0123456789") != std::wcslen(text) || std::wcslen(text) > 10) return nullptr;
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::wcstoul(text, nullptr, 10)));
}

}  // namespace

bool HelperChannel::Open(const wchar_t* const handles[4]) {
    FMapping.Reset(HandleValue(handles[0]));
    FHelperEvent.Reset(HandleValue(handles[1]));
    FHostEvent.Reset(HandleValue(handles[2]));
    FHost.Reset(HandleValue(handles[3]));
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
