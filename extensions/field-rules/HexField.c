#include "HexField.h"

#include "NumberText.h"

bool DecodeHexField(const char* hex, size_t length, uint8_t* bytes, size_t capacity, size_t* count) {
    if (length % 2) return false;
    *count = 0;
    for (size_t i = 0; i < length; i += 2) {
        const int high = HexDigitValue(hex[i]), low = HexDigitValue(hex[i + 1]);
        if (high < 0 || low < 0) return false;
        if (*count < capacity) bytes[(*count)++] = (uint8_t)(high << 4 | low);
    }
    return true;
}
