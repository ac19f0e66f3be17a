#include "HexField.h"

static int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool DecodeHexField(const char* hex, size_t length, uint8_t* bytes, size_t capacity, size_t* count) {
    if (length % 2) return false;
    *count = 0;
    for (size_t i = 0; i < length; i += 2) {
        const int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return false;
        if (*count < capacity) bytes[(*count)++] = (uint8_t)(high << 4 | low);
    }
    return true;
}
