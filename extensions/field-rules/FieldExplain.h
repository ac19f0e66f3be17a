#pragma once
// What the host shows for a value read by a rule: the value text, the
// display text and the explain code.

#include "FieldDecode.h"

#ifdef __cplusplus
extern "C" {
#endif

// A marked raw number shows the marker's name with the marker's code. Else
// the value text is the number (raw x 10^exponent x scale + offset, exact;
// a scaled float from its shortest text) with the rule's decimals, or else
// as many as the scale, offset and exponent have (an unscaled float with
// the digits it needs), or hex digits; a text or time as read. The display
// text is the number's name, or the names of its set flags, or else the
// value text and the unit; names are compared with the value as shown (the
// raw number for a rule without scale and offset). The code is 1 for a shown
// number outside [min, max], a set alarm bit, or a number without a name in
// a rule that names values and has no range; else 0. Each out-buffer has
// `size` bytes. False when the number does not fit the exact arithmetic.
bool ExplainField(const FieldRule* rule, const FieldValue* value, char* valueOut, char* displayOut, size_t size,
                  uint16_t* code);

// The rule's scale times 10^exponent, exactly; false when it does not fit.
bool ScaleWithExponent(const FieldRule* rule, int exponent, Decimal* scale);

// A name's value as a decimal.
void NameKeyValue(const FieldName* name, Decimal* key);

// Without scale, offset and scale exponent (scale 1 and offset 0 as
// written), a rule's names are raw numbers; with them, values as shown.
bool IsUnscaled(const FieldRule* rule);

// The digits after the point that a value text of the rule shows without
// `decimals`, for an integer type; for ascii add the raw number's own.
int DerivedDecimals(const FieldRule* rule);

#ifdef __cplusplus
}
#endif
