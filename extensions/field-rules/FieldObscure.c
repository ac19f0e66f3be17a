#include "FieldObscure.h"

#include "NumberText.h"

#include <float.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

// The longest value text read: a number, or a name with or without its unit.
enum { MaxValueTextLength = 2 * RuleTextMaxBytes + 2 };

static const uint64_t BcdLargest = UINT64_C(9999999999999999);

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

static bool ValueOfName(const FieldRule* rule, const char* text, FieldValue* value) {
    for (size_t i = 0; i < rule->nameCount; ++i)
        if (strcmp(rule->names[i].name, text) == 0) {
            value->kind = FieldTypeInfoOf(rule->type)->kind;
            value->as.u = rule->names[i].key;
            return true;
        }
    return false;
}

// Nothing, or the rule's unit, after the number (blanks between them allowed).
static bool OnlyUnitFollows(const FieldRule* rule, const char* rest) {
    while (IsBlank(*rest)) ++rest;
    return *rest == '\0' || (rule->unit && strcmp(rest, rule->unit) == 0);
}

// Whether the type holds the whole number, and the value if it does.
static bool IntegerValue(const FieldRule* rule, WholeNumber number, FieldValue* value) {
    value->kind = FieldTypeInfoOf(rule->type)->kind;
    if (rule->type == FieldBcd) {
        value->as.u = number.magnitude;
        return !number.negative && number.magnitude <= BcdLargest;
    }
    const unsigned bits = NumberBits(rule);
    if (value->kind == KindUnsigned) {
        value->as.u = number.magnitude;
        return !number.negative && (bits == 64 || number.magnitude >> bits == 0);
    }
    const uint64_t highestPositive = (UINT64_C(1) << (bits - 1)) - 1;
    value->as.u = number.negative ? 0 - number.magnitude : number.magnitude;
    return number.magnitude <= highestPositive + number.negative;
}

// A raw number computed from a decimal one, rounded to the nearest whole number.
static bool RoundedWholeNumber(double raw, WholeNumber* number) {
    const double rounded = round(raw);
    if (!(fabs(rounded) < 18446744073709551616.0)) return false;  // 2^64
    number->negative = rounded < 0;
    number->magnitude = (uint64_t)fabs(rounded);
    return true;
}

// The number's text (from `text` to `end`) read exactly, for an integer
// written without a point or an exponent.
static bool ExactWholeNumber(const char* text, const char* end, WholeNumber* number) {
    char digits[32];
    const size_t length = (size_t)(end - text);
    if (length >= sizeof digits || strcspn(text, ".eE") < length) return false;
    memcpy(digits, text, length);
    digits[length] = '\0';
    return ReadWholeNumber(digits, number);
}

static bool FloatValue(const FieldRule* rule, double raw, FieldValue* value) {
    value->kind = KindFloat;
    value->as.f = raw;
    if (rule->type == FieldF64) return isfinite(raw);
    value->as.f = (float)raw;
    return fabs(raw) <= FLT_MAX;
}

bool ReadFieldValue(const FieldRule* rule, const char* text, FieldValue* value) {
    if (ValueOfName(rule, text, value)) return true;
    double number = 0;
    const char* end = ReadDecimal(text, &number);
    if (!end || !OnlyUnitFollows(rule, end)) return false;
    const double raw = (number - rule->offset) / rule->scale;
    if (FieldTypeInfoOf(rule->type)->kind == KindFloat) return FloatValue(rule, raw, value);
    WholeNumber whole;
    const bool scaled = rule->scale != 1 || rule->offset != 0;
    if (scaled || !ExactWholeNumber(text, end, &whole))
        if (!RoundedWholeNumber(raw, &whole)) return false;
    return IntegerValue(rule, whole, value);
}

// The value text as a terminated string without blanks around it; false
// when it is empty, too long, or holds a zero byte (no number or name does).
static bool CopyValueText(const char* text, size_t length, char copy[MaxValueTextLength + 1]) {
    while (length && IsBlank(*text)) ++text, --length;
    while (length && IsBlank(text[length - 1])) --length;
    if (length == 0 || length > MaxValueTextLength || memchr(text, '\0', length)) return false;
    memcpy(copy, text, length);
    copy[length] = '\0';
    return true;
}

static bool WriteDigits(const FieldRule* rule, uint64_t raw, int32_t hostWidth, char* digitsOut, size_t size) {
    char digits[24];
    FormatUnsigned(raw, digits, sizeof digits);
    const size_t length = strlen(digits);
    if (rule->digits && length > (size_t)rule->digits) return false;
    const int width = rule->digits ? rule->digits : hostWidth > 0 && (size_t)hostWidth < size ? (int)hostWidth : 0;
    const size_t padding = (size_t)width > length ? (size_t)width - length : 0;
    memset(digitsOut, '0', padding);
    snprintf(digitsOut + padding, size - padding, "%s", digits);
    return true;
}

bool ObscureField(const FieldRule* rule, const char* text, size_t length, int32_t hostWidth, char* digitsOut,
                  size_t size) {
    char copy[MaxValueTextLength + 1];
    FieldValue value;
    if (!CopyValueText(text, length, copy) || !ReadFieldValue(rule, copy, &value)) return false;
    return WriteDigits(rule, RawFieldInteger(rule, &value), hostWidth, digitsOut, size);
}
