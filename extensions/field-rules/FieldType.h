#pragma once
// What each field type is: its name in a rules file, its width and the kind
// of number it holds.

#include "FieldRule.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum { KindUnsigned, KindSigned, KindFloat } ValueKind;

typedef struct {
    const wchar_t* name;
    unsigned width;  // bytes; 0 for bcd, which takes the whole field (at most BcdMaxWidth bytes)
    ValueKind kind;
} FieldTypeInfo;

enum { BcdMaxWidth = 8 };  // 16 decimal digits

const FieldTypeInfo* FieldTypeInfoOf(FieldType type);

// The type named `name` (case-insensitive); false for no type.
bool FieldTypeNamed(const wchar_t* name, FieldType* type);

// The names of all types, for messages: "u8, s8, ..., f64 or bcd".
const wchar_t* FieldTypeNameList(void);

// Bits of an integer type (8 to 64); 0 for the floating types and bcd.
unsigned IntegerBits(FieldType type);

#ifdef __cplusplus
}
#endif
