#pragma once
// Reads capture files (util/CaptureFormat.h). A record whose lengths,
// checksum or items do not hold is named as damaged and skipped: after it the
// reader goes on where its lengths at both ends say it ends when a sound
// record follows there, else at the next offset where a sound record
// starts, so a partial last record (a process ended while writing it) costs
// that record alone and every earlier one reads back.

#include "util/CaptureFormat.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CaptureItem {
    CaptureTag tag;
    std::string_view data;
};

struct CaptureRecord {
    uint64_t offset;  // in its file
    uint32_t kind;
    std::vector<CaptureItem> items;
};

struct CaptureDamage {
    uint64_t offset;
    std::string reason;
};

struct CaptureContents {
    std::vector<CaptureRecord> records;  // calls only; their items point into `bytes`
    std::vector<CaptureDamage> damaged;
    // The bytes checksummed while reading: at most three times the file's
    // size and two largest records, however the file is damaged.
    uint64_t checksummedBytes = 0;
};

// The records of a capture file's bytes. Empty (with no damage named) when
// the bytes do not start with a file record: then they are no capture.
std::optional<CaptureContents> ParseCapture(std::string_view bytes);

// The items of a record's item bytes, or none when they run past its end.
std::optional<std::vector<CaptureItem>> ParseCaptureItems(std::string_view bytes);
