#include "TextFields.h"

#include "FieldDecode.h"
#include "NumberText.h"
#include "RuleReason.h"

#include <string.h>

static bool IsBlankOrZero(uint8_t c) { return c == ' ' || c == '\t' || c == '\0'; }

// The characters of a reading that is not a number, for the reason: at most
// 40, anything but printable ASCII as '?'.
static bool NotANumber(const uint8_t* bytes, size_t length, wchar_t* reason) {
    if (!reason) return false;
    char shown[41];
    size_t count = 0;
    for (; count < length && count + 1 < sizeof shown; ++count)
        shown[count] = bytes[count] >= 0x20 && bytes[count] < 0x7F ? (char)bytes[count] : '?';
    shown[count] = '\0';
    return Decline(reason, L"not a number: '%hs'", shown);
}

// The reading without the blanks and zero bytes around it.
static void TrimReading(const uint8_t* bytes, size_t* start, size_t* end) {
    while (*start < *end && IsBlankOrZero(bytes[*start])) ++*start;
    while (*end > *start && IsBlankOrZero(bytes[*end - 1])) --*end;
}

bool ReadAsciiNumber(const uint8_t* bytes, size_t length, Decimal* number, wchar_t* reason) {
    size_t start = 0, end = length;
    TrimReading(bytes, &start, &end);
    char text[FieldMaxBytes + 1];
    size_t count = 0;
    for (size_t i = start; i < end; ++i) {
        const char c = (char)bytes[i];
        const bool sign = (c == '-' || c == '+') && i == start;
        if (!sign && c != '.' && !(c >= '0' && c <= '9'))  // no blanks inside, no exponent
            return NotANumber(bytes + start, end - start, reason);
        text[count++] = c;
    }
    text[count] = '\0';
    const char* parsed = count ? ReadExactDecimal(text, number) : NULL;
    return (parsed && *parsed == '\0') || NotANumber(bytes + start, end - start, reason);
}

static int DigitInBase(uint8_t c, unsigned base) {
    const int digit = HexDigitValue((char)c);
    return digit >= 0 && (unsigned)digit < base ? digit : -1;
}

bool ReadAsciiInteger(const uint8_t* bytes, size_t length, unsigned base, uint64_t* number, wchar_t* reason) {
    size_t start = 0, end = length;
    TrimReading(bytes, &start, &end);
    const unsigned bitsPerDigit = base == 2 ? 1 : 4;
    *number = 0;
    for (size_t i = start; i < end; ++i) {
        const int digit = DigitInBase(bytes[i], base);
        if (digit < 0 || *number >> (64 - bitsPerDigit)) return NotANumber(bytes + start, end - start, reason);
        *number = *number << bitsPerDigit | (unsigned)digit;
    }
    return end > start || NotANumber(bytes + start, 0, reason);
}

size_t WriteAsciiInteger(uint64_t number, unsigned base, uint8_t* bytes) {
    char digits[65];
    size_t count = 0;
    do {
        digits[count++] = "0123456789ABCDEF"[number % base];
        number /= base;
    } while (number);
    for (size_t i = 0; i < count; ++i) bytes[i] = (uint8_t)digits[count - 1 - i];
    return count;
}

void ReadFieldText(const uint8_t* bytes, size_t length, char* text, size_t size) {
    const uint8_t* zero = memchr(bytes, 0, length);
    if (zero) length = (size_t)(zero - bytes);
    while (length && IsBlankOrZero(bytes[length - 1])) --length;
    if (length >= size) length = size - 1;
    memcpy(text, bytes, length);
    text[length] = '\0';
}
