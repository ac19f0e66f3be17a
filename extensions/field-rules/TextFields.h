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
// `reason` (RuleReasonSize characters, or NULL) says why.
bool ReadAsciiNumber(const uint8_t* bytes, size_t length, Decimal* number, wchar_t* reason);

// An unsigned integer written in base 2 or 16 (either case), blanks around
// it allowed; false for another character or more than 64 bits.
bool ReadAsciiInteger(const uint8_t* bytes, size_t length, unsigned base, uint64_t* number, wchar_t* reason);

// `number`'s digits in base 2 or 16 into `bytes`; returns their count.
size_t WriteAsciiInteger(uint64_t number, unsigned base, uint8_t* bytes);

// The bytes up to the first zero byte without the blanks that end them, as a
// terminated text of at most `size` - 1 bytes.
void ReadFieldText(const uint8_t* bytes, size_t length, char* text, size_t size);

// "2024-05-20", "10:30:00" or "2024-05-20 10:30:00" from the layout's bytes
// (`bytes` holds at least TimeLayoutBytes, most significant first for a
// packed time): false, with the reason unless `reason` is NULL, for a bcd
// digit above 9, a character that is no digit, or a date or time that
// cannot be.
bool ReadFieldTime(const FieldRule* rule, const uint8_t* bytes, char* text, size_t size, wchar_t* reason);

// The layout's bytes for 2024-05-20 (a Monday) 10:30:00, for examples.
void WriteExampleTime(const FieldRule* rule, uint8_t* bytes);

// Obscure's digit text for a time as Explain shows it ("2024-05-20 10:30:00",
// "10:30"): each token's two digits (YYYY four) in layout order, the weekday
// (0 for Sunday) worked out from the date. False for a text of another
// shape, a date or time that cannot be, and the binary and packed encodings.
bool TimeDigits(const FieldRule* rule, const char* text, char* digits, size_t size);

// The layout's name for a part, for messages and the layout key.
const wchar_t* TimePartName(TimePart part);

#ifdef __cplusplus
}
#endif
