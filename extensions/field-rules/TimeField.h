#pragma once
// A date, a time or both in a layout of tokens: bcd or binary bytes, ASCII
// digits, or bit fields of one number; read for Explain, and written as
// Obscure's digits and as examples.

#include "FieldRule.h"

#ifdef __cplusplus
extern "C" {
#endif

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
