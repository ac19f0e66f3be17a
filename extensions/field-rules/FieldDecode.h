#pragma once
// Reads a rule's value out of a field's bytes, and writes one into bytes
// (the way back, for examples).

#include "FieldType.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    FieldMaxBytes = 255,  // the most bytes of a field a rule reads
    FieldTextSize = 256,  // room for a text or time value and its terminator
};

typedef struct {
    ValueKind kind;
    union {
        uint64_t u;  // KindUnsigned: integers and bcd
        int64_t s;   // KindSigned: integers and sbcd
        double f;    // KindFloat (an f32 widened)
    } as;
    Decimal decimal;            // KindDecimal: the number an ascii field writes
    char text[FieldTextSize];   // KindText: the text or time, in the ANSI code page
} FieldValue;

// The number of bits of the rule's integer: the span of its mask (lowest to
// highest set bit), or the type's width.
unsigned NumberBits(const FieldRule* rule);

// The position of the mask's lowest set bit (0 without a mask).
unsigned MaskShift(uint64_t mask);

// The bytes a time rule's layout reads.
size_t TimeLayoutBytes(const FieldRule* rule);

// The value in the first bytes of `field` (in frame order, at most
// FieldMaxBytes): false when the field is shorter than the type, or its
// bytes are no value of the type (a bcd digit above 9, an ascii field that
// is no number, an impossible date). A masked number is the masked bits
// shifted down; a signed one takes the sign of its highest bit.
bool DecodeField(const FieldRule* rule, const uint8_t* field, size_t length, FieldValue* value);

// The value of a single bit (0 or 1) that the host selected, as the rule's
// raw number; false for the types that hold no number (text, time).
bool BitFieldValue(const FieldRule* rule, bool bit, FieldValue* value);

// The number as the raw integer the host sends back: an integer's bits in
// the type's width (two's complement) shifted into the mask, a float's bits,
// bcd's decimal value.
uint64_t RawFieldInteger(const FieldRule* rule, const FieldValue* value);

// The bytes of a field holding `value` in the rule's type, order, mask and
// bias (other bits 0); bcd takes as few bytes as its digits need. Returns
// the number of bytes written.
size_t EncodeField(const FieldRule* rule, const FieldValue* value, uint8_t field[FieldMaxBytes]);

#ifdef __cplusplus
}
#endif
