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
    const FieldName* marker;    // the marker the raw number is, or NULL
    int exponent;               // the power of ten the field holds (scale_exponent_at), else 0
} FieldValue;

enum { ScaleExponentLimit = 10 };  // a power of ten in a field goes from -10 to 10

// What the rule's raw number is: an ascii field in base 2 or 16 holds an
// unsigned integer, every other type the kind of its type.
ValueKind RuleValueKind(const FieldRule* rule);

// An integer whose bits mean something: u8 to s64, and ascii in base 2 or 16.
bool HoldsBits(const FieldRule* rule);

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

// DecodeField, which also writes why it declines into `reason` (RuleReasonSize
// characters) unless it is NULL.
bool DecodeFieldOrSayWhy(const FieldRule* rule, const uint8_t* field, size_t length, FieldValue* value,
                         wchar_t* reason);

// The value of a single bit (0 or 1) that the host selected, as the rule's
// raw number; false for the types that hold no number (text, time).
bool BitFieldValue(const FieldRule* rule, bool bit, FieldValue* value);

// The marker whose raw number the value's number is (for bcd, the marker of
// the bytes its digits make), or NULL: Obscure must not send a marker's
// number for a value.
const FieldName* MarkerOfValue(const FieldRule* rule, const FieldValue* value);

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
