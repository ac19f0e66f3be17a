#pragma once
// Reads a rule's number out of a field's bytes, and writes one into bytes
// (the way back, for examples).

#include "FieldType.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    ValueKind kind;
    union {
        uint64_t u;  // KindUnsigned: integers and bcd
        int64_t s;   // KindSigned
        double f;    // KindFloat (an f32 widened)
    } as;
} FieldValue;

// The number of bits of the rule's integer: the span of its mask (lowest to
// highest set bit), or the type's width.
unsigned NumberBits(const FieldRule* rule);

// The position of the mask's lowest set bit (0 without a mask).
unsigned MaskShift(uint64_t mask);

// The number in the first bytes of `field` (in frame order): false when the
// field is shorter than the type, or a bcd digit is above 9. A masked number
// is the masked bits shifted down; a signed one takes the sign of its
// highest bit.
bool DecodeField(const FieldRule* rule, const uint8_t* field, size_t length, FieldValue* value);

// The number as the raw integer the host sends back: an integer's bits in
// the type's width (two's complement) shifted into the mask, a float's bits,
// bcd's decimal value.
uint64_t RawFieldInteger(const FieldRule* rule, const FieldValue* value);

// The bytes of a field holding `value` in the rule's type, order and mask
// (other bits 0); bcd takes as few bytes as its digits need. `field` has room
// for 8 bytes; returns the number written.
size_t EncodeField(const FieldRule* rule, const FieldValue* value, uint8_t field[8]);

#ifdef __cplusplus
}
#endif
