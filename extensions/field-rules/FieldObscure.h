#pragma once
// The way back: from the text an operator reads or types to the number and
// the digits the host sends.

#include "FieldDecode.h"

#ifdef __cplusplus
extern "C" {
#endif

// The number a value text stands for: one of the rule's names, or a number
// in the rule's unit (the unit may follow it) turned back into the raw number
// (inverse scaling, rounded to nearest for the integer types) that the type
// holds. `text` is terminated, in the ANSI code page, blanks trimmed. False
// when it is neither, or the type cannot hold the number.
bool ReadFieldValue(const FieldRule* rule, const char* text, FieldValue* value);

// The digit text for a value text of `length` bytes: the raw integer's
// decimal digits, left-padded with zeros to the rule's digits (a longer
// number is declined) or, when it names none, to `hostWidth`. False when
// the text cannot be converted. `digitsOut` has `size` bytes.
bool ObscureField(const FieldRule* rule, const char* text, size_t length, int32_t hostWidth, char* digitsOut,
                  size_t size);

#ifdef __cplusplus
}
#endif
