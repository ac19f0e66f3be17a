#pragma once
// capture.log in the capture folder: one line per event (capture switching
// itself off, or pausing for room), written through the bounded log
// (logfile/BoundedLog.h) as the isolation log is: at most CaptureLogMaxBytes
// per file with the one before kept as capture.log.1, and an event repeated
// within a minute counted in one line rather than written each time.

#include <cstdint>
#include <string>
#include <string_view>

constexpr uint32_t CaptureLogMaxBytes = 64 * 1024;
constexpr wchar_t CaptureLogName[] = L"capture.log";
constexpr wchar_t CaptureOlderLogName[] = L"capture.log.1";

// Appends "<UTC time> pid <id>: <line>"; fails silently (the folder may be
// the very thing that cannot be written). Lines with the same words, whatever
// their numbers, are one event.
void AppendCaptureLog(const std::wstring& folder, std::string_view line) noexcept;
