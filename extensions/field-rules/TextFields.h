#pragma once
// The fields that hold text: a decimal number written in ASCII, a text in
// the ANSI code page, a date and time in a layout of bytes.

#include "FieldRule.h"

#ifdef __cplusplus
extern "C" {
#endif

// The number an ascii field writes: blanks, an optional sign, digits with at
// most one point, blanks (zero bytes at the end count as blanks). False for
// anything else.
bool ReadAsciiNumber(const uint8_t* bytes, size_t length, Decimal* number);

// The bytes up to the first zero byte without the blanks that end them, as a
// terminated text of at most `size` - 1 bytes.
void ReadFieldText(const uint8_t* bytes, size_t length, char* text, size_t size);

// "2024-05-20", "10:30:00" or "2024-05-20 10:30:00" from the layout's bytes
// (`bytes` holds at least TimeLayoutBytes): false for a bcd digit above 9 or
// a date or time that cannot be.
bool ReadFieldTime(const FieldRule* rule, const uint8_t* bytes, char* text, size_t size);

// The layout's bytes for 2024-05-20 (a Monday) 10:30:00, for examples.
void WriteExampleTime(const FieldRule* rule, uint8_t* bytes);

// The layout's name for a part, for messages and the layout key.
const wchar_t* TimePartName(TimePart part);

#ifdef __cplusplus
}
#endif
