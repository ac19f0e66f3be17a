#pragma once
// The fields that hold text: a number written in ASCII characters, and a
// text in the ANSI code page.

#include "FieldRule.h"

#ifdef __cplusplus
extern "C" {
#endif

// The number an ascii field writes: blanks, an optional sign, digits with at
// most one point, blanks (zero bytes at the end count as blanks). False for
// anything else, and `reason` (RuleReasonSize characters, or NULL) says why.
bool ReadAsciiNumber(const uint8_t* bytes, size_t length, Decimal* number, wchar_t* reason);

// An unsigned integer written in base 2 or 16 (either case), blanks around
// it allowed; false for another character or more than 64 bits.
bool ReadAsciiInteger(const uint8_t* bytes, size_t length, unsigned base, uint64_t* number, wchar_t* reason);

// `number`'s digits in base 2 or 16 into `bytes`; returns their count.
size_t WriteAsciiInteger(uint64_t number, unsigned base, uint8_t* bytes);

// The bytes up to the first zero byte without the blanks that end them, as a
// terminated text of at most `size` - 1 bytes.
void ReadFieldText(const uint8_t* bytes, size_t length, char* text, size_t size);

#ifdef __cplusplus
}
#endif
