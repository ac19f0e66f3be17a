#pragma once
// What each field type is: its name in a rules file, its width and the kind
// of number it holds.

#include "FieldRule.h"

#ifdef __cplusplus
extern "C" {
#endif

// What a field holds: an integer (the integer types, bcd and sbcd), a
// float, a decimal number written as text (ascii), or a text (text, time).
typedef enum { KindUnsigned, KindSigned, KindFloat, KindDecimal, KindText } ValueKind;

typedef struct {
    const wchar_t* name;
    unsigned width;  // bytes; 0 for the types that take the whole field (bcd at most BcdMaxWidth bytes) or a layout
    ValueKind kind;
} FieldTypeInfo;

enum { BcdMaxWidth = 8 };  // 16 decimal digits

const FieldTypeInfo* FieldTypeInfoOf(FieldType type);

// The type named `name` (case-insensitive); false for no type.
bool FieldTypeNamed(const wchar_t* name, FieldType* type);

// The names of all types, for messages: "u8, s8, ..., f64 or bcd".
const wchar_t* FieldTypeNameList(void);

// Bits of an integer type (8 to 64); 0 for the other types.
unsigned IntegerBits(FieldType type);

// A type whose raw number is an integer: u8 to s64, bcd, sbcd.
bool IsIntegerType(FieldType type);

// bcd or sbcd.
bool IsBcdType(FieldType type);

// A type whose value is a number (all but text and time).
bool IsNumberType(FieldType type);

#ifdef __cplusplus
}
#endif
