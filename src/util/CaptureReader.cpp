#include "util/CaptureReader.h"

#include <cstring>

namespace {

uint32_t U32At(std::string_view bytes, size_t offset) {
    uint32_t value;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

struct RecordAt {
    std::optional<CaptureRecord> record;  // when sound
    size_t length = 0;                    // its length when sound
    std::string problem;                  // else why not
};

bool KnownKind(uint32_t kind) { return kind == CaptureFileKind || kind == CaptureCallKind; }

// The record that starts at `offset`, checked: the cheap checks (lengths at
// both ends, a known kind) before the checksum, whose bytes are added to
// `checksummed`.
RecordAt ReadRecordAt(std::string_view bytes, size_t offset, uint64_t& checksummed) {
    const size_t left = bytes.size() - offset;
    const uint32_t length = U32At(bytes, offset);
    if (length < CaptureRecordOverhead || length % 4 || length > CaptureMaxRecord) return {{}, 0, "bad record length"};
    if (length > left) return {{}, 0, "record cut short"};
    const std::string_view record = bytes.substr(offset, length);
    if (U32At(record, length - 4) != length) return {{}, 0, "record not finished (closing length missing)"};
    if (!KnownKind(U32At(record, 4))) return {{}, 0, "unknown record kind"};
    checksummed += length - 16;
    const CaptureChecksum stored{U32At(record, length - 12), U32At(record, length - 8)};
    const auto* words = reinterpret_cast<const unsigned char*>(record.data() + 4);
    if (CaptureChecksumOf(words, (length - 16) / 4) != stored) return {{}, 0, "checksum mismatch"};
    auto items = ParseCaptureItems(record.substr(8, length - CaptureRecordOverhead));
    if (!items) return {{}, 0, "items run past the record's end"};
    return {CaptureRecord{offset, U32At(record, 4), std::move(*items)}, length, {}};
}

bool AllZero(std::string_view bytes) { return bytes.find_first_not_of('\0') == std::string_view::npos; }

// The most bytes reading a file may checksum: every sound record once, and
// as much again twice over (plus one largest record) while looking for a
// sound record after damage. A file made to look like a record start at
// every offset would otherwise cost its size squared.
uint64_t ChecksumBudget(size_t fileSize) { return 3 * uint64_t{fileSize} + CaptureMaxRecord; }

// The next offset after a damaged record where a sound record starts, the
// end when there is none, or none when the checksum budget ran out first.
std::optional<size_t> Resynchronise(std::string_view bytes, size_t offset, uint64_t& checksummed) {
    for (size_t next = offset + 4; next + CaptureRecordOverhead <= bytes.size(); next += 4) {
        if (checksummed > ChecksumBudget(bytes.size())) return std::nullopt;
        if (ReadRecordAt(bytes, next, checksummed).record) return next;
    }
    return bytes.size();
}

// Whether nothing but zeros (the unused rest of a file) is left from `offset`.
bool RestIsZeros(std::string_view bytes, size_t offset) {
    if (offset + 4 <= bytes.size() && U32At(bytes, offset) != 0) return false;  // the common case, cheaply
    return AllZero(bytes.substr(offset));
}

// Where a damaged record ends by its own lengths: when the closing length
// agrees with the opening one, lies within the bytes and a sound record or
// the unused rest follows. Its bytes are then not searched for records, so
// that a text inside it that looks like a record is not read as one. A
// record cut short (no closing length) or one whose length was changed is
// searched after as before.
std::optional<size_t> EndByLengths(std::string_view bytes, size_t offset, uint64_t& checksummed) {
    const uint32_t length = U32At(bytes, offset);
    if (length < CaptureRecordOverhead || length % 4 || length > bytes.size() - offset ||
        U32At(bytes, offset + length - 4) != length)
        return std::nullopt;
    const size_t end = offset + length;
    if (RestIsZeros(bytes, end)) return end;
    if (end + CaptureRecordOverhead <= bytes.size() && ReadRecordAt(bytes, end, checksummed).record) return end;
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<CaptureItem>> ParseCaptureItems(std::string_view bytes) {
    std::vector<CaptureItem> items;
    size_t offset = 0;
    while (offset + CaptureItemHeader <= bytes.size()) {
        uint16_t tag;
        std::memcpy(&tag, bytes.data() + offset, 2);
        const uint32_t size = U32At(bytes, offset + 4);
        if (size > bytes.size() - offset - CaptureItemHeader) return std::nullopt;
        items.push_back({static_cast<CaptureTag>(tag), bytes.substr(offset + CaptureItemHeader, size)});
        offset += CaptureItemHeader + (size + 3) / 4 * 4;
    }
    if (offset < bytes.size() && !AllZero(bytes.substr(offset))) return std::nullopt;
    return items;
}

std::optional<CaptureContents> ParseCapture(std::string_view bytes) {
    if (bytes.size() < CaptureRecordOverhead) return std::nullopt;
    uint64_t checksummed = 0;
    RecordAt first = ReadRecordAt(bytes, 0, checksummed);
    if (!first.record || first.record->kind != CaptureFileKind) return std::nullopt;
    CaptureContents contents;
    size_t offset = first.length;
    while (offset + 4 <= bytes.size()) {
        if (RestIsZeros(bytes, offset)) break;  // the unused rest
        RecordAt next = offset + CaptureRecordOverhead <= bytes.size() ? ReadRecordAt(bytes, offset, checksummed)
                                                                        : RecordAt{{}, 0, "record cut short"};
        if (!next.record) {
            contents.damaged.push_back({offset, next.problem});
            std::optional<size_t> sound = EndByLengths(bytes, offset, checksummed);
            if (!sound) sound = Resynchronise(bytes, offset, checksummed);
            if (!sound) {
                contents.damaged.push_back({offset, "too much damage: the rest of the file is skipped"});
                offset = bytes.size();
                break;
            }
            offset = *sound;
            continue;
        }
        if (next.record->kind == CaptureCallKind) contents.records.push_back(std::move(*next.record));
        offset += next.length;
    }
    if (offset < bytes.size() && !AllZero(bytes.substr(offset))) contents.damaged.push_back({offset, "record cut short"});
    contents.checksummedBytes = checksummed;
    return contents;
}
