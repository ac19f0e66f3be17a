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
    std::vector<std::wstring> notes;  // paths that do not exist or are no captures, skipped
};

// Raises a HostFailure (bad input) only when nothing could be read at all; a
// path that does not exist or is no capture is a note, and the rest is read.
CaptureSet ReadCaptureSources(const std::vector<std::wstring>& paths);
