#include "FieldType.h"

#include <wchar.h>

static const FieldTypeInfo Types[] = {
    [FieldU8] = {L"u8", 1, KindUnsigned},   [FieldS8] = {L"s8", 1, KindSigned},
    [FieldU16] = {L"u16", 2, KindUnsigned}, [FieldS16] = {L"s16", 2, KindSigned},
    [FieldU32] = {L"u32", 4, KindUnsigned}, [FieldS32] = {L"s32", 4, KindSigned},
    [FieldU64] = {L"u64", 8, KindUnsigned}, [FieldS64] = {L"s64", 8, KindSigned},
    [FieldF32] = {L"f32", 4, KindFloat},    [FieldF64] = {L"f64", 8, KindFloat},
    [FieldBcd] = {L"bcd", 0, KindUnsigned},  [FieldSbcd] = {L"sbcd", 0, KindSigned},
    [FieldAscii] = {L"ascii", 0, KindDecimal}, [FieldText] = {L"text", 0, KindText},
    [FieldTime] = {L"time", 0, KindText},
};

const FieldTypeInfo* FieldTypeInfoOf(FieldType type) { return &Types[type]; }

bool FieldTypeNamed(const wchar_t* name, FieldType* type) {
    for (size_t i = 0; i < sizeof Types / sizeof Types[0]; ++i)
        if (_wcsicmp(name, Types[i].name) == 0) {
            *type = (FieldType)i;
            return true;
        }
    return false;
}

const wchar_t* FieldTypeNameList(void) { return L"u8, s8, u16, s16, u32, s32, u64, s64, f32, f64, bcd, sbcd, ascii, text or time"; }

unsigned IntegerBits(FieldType type) {
    const FieldTypeInfo* info = FieldTypeInfoOf(type);
    return info->width && info->kind != KindFloat ? info->width * 8 : 0;
}

bool IsIntegerType(FieldType type) { return IntegerBits(type) > 0 || IsBcdType(type); }

bool IsBcdType(FieldType type) { return type == FieldBcd || type == FieldSbcd; }

bool IsNumberType(FieldType type) { return FieldTypeInfoOf(type)->kind != KindText; }
