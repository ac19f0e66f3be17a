#include "util/CaptureRecordBuilder.h"

#include <algorithm>
#include <cstdint>
#include <new>

// At least doubles, so that a record grown piece by piece is copied a few
// times only.
void CaptureRecordBuilder::Grow(size_t bytes) {
    if (bytes > SIZE_MAX / 2 - FUsed) throw std::bad_alloc();
    const size_t capacity = std::max({FUsed + bytes, 2 * FCapacity, size_t{256}});
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    if (FData) std::memcpy(data.get(), FData.get(), FUsed);
    FData = std::move(data);
    FCapacity = capacity;
}

std::string_view CaptureRecordBuilder::Finish() {
    Room(3 * sizeof(uint32_t));
    std::memcpy(FData.get() + 4, &FKind, sizeof FKind);
    const size_t checked = FUsed - 4;
    const CaptureChecksum checksum =
        CaptureChecksumOf(reinterpret_cast<const unsigned char*>(FData.get() + 4), checked / 4);
    const auto length = static_cast<uint32_t>(FUsed + 3 * sizeof(uint32_t));
    const uint32_t tail[3] = {checksum.sum, checksum.weighted, length};
    std::memcpy(FData.get() + FUsed, tail, sizeof tail);
    FUsed += sizeof tail;
    std::memcpy(FData.get(), &length, sizeof length);
    return {FData.get(), FUsed};
}
