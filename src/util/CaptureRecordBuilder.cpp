#include "util/CaptureRecordBuilder.h"

#include <cstring>

namespace {

void PutU32(std::string& bytes, size_t offset, uint32_t value) { std::memcpy(bytes.data() + offset, &value, 4); }

void PadToWord(std::string& bytes) { bytes.append((4 - bytes.size() % 4) % 4, '\0'); }

}  // namespace

// The length and kind fit in the string's own room.
CaptureRecordBuilder::CaptureRecordBuilder(uint32_t kind) noexcept { Restart(kind); }

void CaptureRecordBuilder::Restart(uint32_t kind) noexcept {
    FBytes.resize(4);
    AppendNumber(kind);
}

void CaptureRecordBuilder::AddBytes(CaptureTag tag, const void* bytes, size_t size) {
    BeginItem(tag);
    Append(bytes, size);
    EndItem();
}

void CaptureRecordBuilder::BeginItem(CaptureTag tag) {
    FItemStart = FBytes.size();
    AppendNumber(static_cast<uint16_t>(tag));
    AppendNumber(uint16_t{0});
    AppendNumber(uint32_t{0});
}

void CaptureRecordBuilder::EndItem() {
    PutU32(FBytes, FItemStart + 4, static_cast<uint32_t>(FBytes.size() - FItemStart - CaptureItemHeader));
    PadToWord(FBytes);
}

std::string_view CaptureRecordBuilder::Finish() {
    const size_t checked = FBytes.size() - 4;
    const CaptureChecksum checksum =
        CaptureChecksumOf(reinterpret_cast<const unsigned char*>(FBytes.data() + 4), checked / 4);
    AppendNumber(checksum.sum);
    AppendNumber(checksum.weighted);
    const auto length = static_cast<uint32_t>(FBytes.size() + 4);
    AppendNumber(length);
    PutU32(FBytes, 0, length);
    return FBytes;
}
