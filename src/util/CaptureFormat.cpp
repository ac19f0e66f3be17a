#include "util/CaptureFormat.h"

#include <cstring>

CaptureChecksum CaptureChecksumOf(const unsigned char* words, size_t count) noexcept {
    CaptureChecksum checksum;
    for (size_t i = 0; i < count; ++i) {
        uint32_t word;
        std::memcpy(&word, words + 4 * i, 4);
        checksum.sum += word;
        checksum.weighted += checksum.sum;
    }
    return checksum;
}
