#pragma once
// The capture files a command names (files, or folders of .ovcap files) read
// and decoded: their calls in time order and every record that was skipped.

#include "util/CapturedCall.h"

#include <string>
#include <vector>

struct SourcedCall {
    std::wstring file;
    CapturedCall call;
};

struct SkippedRecord {
    std::wstring file;
    uint64_t offset;
    std::string reason;
};

struct CaptureSet {
    std::vector<SourcedCall> calls;
    std::vector<SkippedRecord> damaged;
    std::vector<std::wstring> notes;  // files in a folder that are no captures
};

// Raises a HostFailure (bad input) when a path does not exist, a named
// file is no capture, or nothing could be read at all.
CaptureSet ReadCaptureSources(const std::vector<std::wstring>& paths);
