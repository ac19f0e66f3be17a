#pragma once
// capture.log in the capture folder: one line per event (capture switching
// itself off), the file kept at most CaptureLogMaxBytes long: a line that
// would make it longer is dropped. The one place that writes the log, so
// that it can move to a shared bounded log as one piece.

#include <cstddef>
#include <string>
#include <string_view>

constexpr size_t CaptureLogMaxBytes = 64 * 1024;
constexpr wchar_t CaptureLogName[] = L"capture.log";

// Appends "<UTC time> pid <id>: <line>" and a line end; fails silently (the
// folder may be the very thing that cannot be written).
void AppendCaptureLog(const std::wstring& folder, std::string_view line) noexcept;
