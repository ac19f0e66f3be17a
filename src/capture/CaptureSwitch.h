#pragma once
// Whether the component captures its calls, and where they go. The switch
// is a cached flag: the settings (capture/CaptureSettings.h) are read on the
// first call and again on the first call after a minute has passed, so a
// call with capture off costs a tick count and two predictable branches.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string_view>

struct CaptureSwitchState {
    std::atomic<bool> on{false};
    std::atomic<bool> read{false};
    std::atomic<DWORD> readAt{0};
    std::atomic<DWORD> rereadTicks{60 * 1000};
};
extern CaptureSwitchState GCaptureSwitch;

// Reads the settings again and opens or closes the capture accordingly.
void RereadCaptureSettings(DWORD now) noexcept;

[[gnu::always_inline]] inline bool CaptureWanted() noexcept {
    const DWORD now = GetTickCount();
    if (now - GCaptureSwitch.readAt.load(std::memory_order_relaxed) >=
            GCaptureSwitch.rereadTicks.load(std::memory_order_relaxed) ||
        !GCaptureSwitch.read.load(std::memory_order_relaxed)) [[unlikely]]
        RereadCaptureSettings(now);
    return GCaptureSwitch.on.load(std::memory_order_relaxed);
}

// Appends one finished record of a call on `paramId` when the ParamIds list
// holds it (a call whose id is unknown is kept). A record larger than
// CaptureMaxRecord is dropped with a line in capture.log. When it cannot be
// written, capture switches itself off with one line in capture.log, until
// the settings change.
void SubmitCaptureRecord(std::optional<int32_t> paramId, std::string_view record) noexcept;
