#pragma once
// What the host shows for a number read by a rule: the value text, the
// display text and the explain code.

#include "FieldDecode.h"

#ifdef __cplusplus
extern "C" {
#endif

// The value text is the number (raw x scale + offset) with the rule's
// decimals, or else integers as integers and other numbers with the digits
// they need; the display text is the number's name, or else the value text
// and the unit; the code is 1 for a number outside [min, max], or without a
// name in a rule that names values and has no range, else 0. Each
// out-buffer has `size` bytes.
void ExplainField(const FieldRule* rule, const FieldValue* value, char* valueOut, char* displayOut, size_t size,
                  uint16_t* code);

// The name the rule gives the number, or NULL.
const char* NameOfValue(const FieldRule* rule, const FieldValue* value);

#ifdef __cplusplus
}
#endif
