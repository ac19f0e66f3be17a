#include "FieldObscure.h"

#include "FieldExplain.h"
#include "NumberText.h"
#include "TimeField.h"

#include <float.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

// The longest value text read: a number, or a name with or without its unit.
enum { MaxValueTextLength = 4 * RuleTextMaxBytes };

static const uint64_t BcdLargest = UINT64_C(9999999999999999);
static const uint64_t SbcdLargest = UINT64_C(7999999999999999);  // the top bit of its bytes is the sign

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Nothing, or the rule's unit, after the number (blanks between them allowed).
static bool OnlyUnitFollows(const FieldRule* rule, const char* rest) {
    while (IsBlank(*rest)) ++rest;
    return *rest == '\0' || (rule->unit && strcmp(rest, rule->unit) == 0);
}

// Whether the type holds the whole number, and the value if it does.
static bool IntegerValue(const FieldRule* rule, WholeNumber number, FieldValue* value) {
    value->kind = RuleValueKind(rule);
    if (IsBcdType(rule->type)) {
        value->as.u = number.magnitude;
        return !number.negative && number.magnitude <= (rule->type == FieldSbcd ? SbcdLargest : BcdLargest);
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

static bool FloatValue(const FieldRule* rule, double raw, FieldValue* value) {
    value->kind = KindFloat;
    value->as.f = raw;
    if (rule->type == FieldF64) return isfinite(raw);
    value->as.f = (float)raw;
    return fabs(raw) <= FLT_MAX;
}

static bool ReadFloatValue(const FieldRule* rule, const char* text, FieldValue* value) {
    double number = 0;
    const char* end = ReadDecimal(text, &number);
    return end && OnlyUnitFollows(rule, end) && FloatValue(rule, (number - rule->offset) / rule->scale, value);
}

// The scale times the power of ten a field holds: Obscure has no field to
// read it from and takes the rule's default, or declines without one.
static bool ObscureScale(const FieldRule* rule, Decimal* scale) {
    if (rule->scaleExponentAt >= 0 && !rule->hasScaleExponent) return false;
    return ScaleWithExponent(rule, rule->scaleExponentAt >= 0 ? rule->scaleExponent : 0, scale);
}

// The raw number of a value as shown: (number - offset) / scale, exactly,
// rounded half away from zero to a whole number that the type holds.
static bool RawOfShown(const FieldRule* rule, const Decimal* number, FieldValue* value) {
    Decimal unscaled, scale, raw;
    WholeNumber whole;
    return ObscureScale(rule, &scale) && DecimalSubtract(number, &rule->exactOffset, &unscaled) &&
           DecimalDivideRounded(&unscaled, &scale, &raw) && DecimalToWhole(&raw, &whole.negative, &whole.magnitude) &&
           IntegerValue(rule, whole, value);
}

// An ascii number's raw number as the digits the host writes: (number -
// offset) / scale with `decimals` digits after the point (none without it),
// the point left out. A number with more digits than that, or a negative
// one, declines: the setting could not be sent as it was typed.
static bool ReadAsciiDigits(const FieldRule* rule, const char* text, FieldValue* value) {
    uint64_t power = 1;
    for (int i = 0; i < rule->decimals; ++i) power *= 10;
    Decimal number, unscaled, factor, shifted, raw, back;
    DecimalFromUnsigned(power, &factor);
    const char* end = ReadExactDecimal(text, &number);
    WholeNumber whole;
    value->kind = KindUnsigned;
    if (!end || !OnlyUnitFollows(rule, end) || !DecimalSubtract(&number, &rule->exactOffset, &unscaled) ||
        !DecimalMultiply(&unscaled, &factor, &shifted) || !DecimalDivideRounded(&shifted, &rule->exactScale, &raw) ||
        !DecimalMultiply(&raw, &rule->exactScale, &back) || DecimalCompare(&back, &shifted) != 0 ||
        !DecimalToWhole(&raw, &whole.negative, &whole.magnitude) || whole.negative)
        return false;
    value->as.u = whole.magnitude;
    return true;
}

static bool ReadScaledInteger(const FieldRule* rule, const char* text, FieldValue* value) {
    Decimal number;
    const char* end = ReadExactDecimal(text, &number);
    return end && OnlyUnitFollows(rule, end) && RawOfShown(rule, &number, value);
}

// A name stands for the raw number it names, or in a scaled rule for the
// raw number of the value it names.
static bool ValueOfName(const FieldRule* rule, const FieldName* name, FieldValue* value) {
    value->kind = RuleValueKind(rule);
    value->as.u = name->key;
    if (IsUnscaled(rule)) return true;
    Decimal key;
    NameKeyValue(name, &key);
    return RawOfShown(rule, &key, value);
}

// Hex digits as the value text of `format = hex` shows them (0x in front allowed).
static bool ReadHexInteger(const FieldRule* rule, const char* text, FieldValue* value) {
    char prefixed[MaxValueTextLength + 3];
    const bool hasPrefix = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    snprintf(prefixed, sizeof prefixed, "%s%s", hasPrefix ? "" : "0x", text);
    WholeNumber number;
    const unsigned bits = NumberBits(rule);
    if (!ReadWholeNumber(prefixed, &number) || number.negative || (bits < 64 && number.magnitude >> bits)) return false;
    value->kind = RuleValueKind(rule);
    value->as.u = number.magnitude;  // a signed number's bits in its width
    return true;
}

// The bit of the flag called `name`; false for none.
static bool FlagNamed(const FieldRule* rule, const char* name, size_t length, uint64_t* bit) {
    for (size_t i = 0; i < rule->flagCount; ++i)
        if (strlen(rule->flags[i].name) == length && memcmp(rule->flags[i].name, name, length) == 0) {
            *bit = UINT64_C(1) << rule->flags[i].key;
            return true;
        }
    return false;
}

// The number with the bits of the flags named in `text` set (joined by the
// rule's separator), or 0 for the text of `none`.
static bool ReadFlags(const FieldRule* rule, const char* text, FieldValue* value) {
    value->kind = RuleValueKind(rule);
    value->as.u = 0;
    if (rule->none && strcmp(text, rule->none) == 0) return true;
    const size_t separatorLength = strlen(rule->separator);
    for (const char* start = text;;) {
        const char* end = strstr(start, rule->separator);
        const char* stop = end ? end : start + strlen(start);
        while (start < stop && IsBlank(*start)) ++start;
        size_t length = (size_t)(stop - start);
        while (length && IsBlank(start[length - 1])) --length;
        uint64_t bit;
        if (!FlagNamed(rule, start, length, &bit)) return false;
        value->as.u |= bit;
        if (!end) return true;
        start = end + separatorLength;
    }
}

// A marker's name stands for its raw number: the bits in the number's
// width, or for bcd the digits its bytes hold (declined for other bytes).
static bool ValueOfMarker(const FieldRule* rule, const FieldName* marker, FieldValue* value) {
    value->marker = marker;
    value->kind = RuleValueKind(rule);
    value->as.u = marker->key;
    if (!IsBcdType(rule->type)) return true;
    uint64_t number = 0;
    for (int shift = 60; shift >= 0; shift -= 4) {
        const unsigned digit = (unsigned)(marker->key >> shift) & 0xF;
        if (digit > 9) return false;
        number = number * 10 + digit;
    }
    value->as.u = number;
    return rule->type == FieldBcd || number <= SbcdLargest;
}

static const FieldName* NamedIn(const FieldName* names, size_t count, const char* text) {
    for (size_t i = 0; i < count; ++i)
        if (strcmp(names[i].name, text) == 0) return &names[i];
    return NULL;
}

bool ReadFieldValue(const FieldRule* rule, const char* text, FieldValue* value) {
    value->marker = NULL;
    value->exponent = 0;
    const FieldName* marker = NamedIn(rule->markers, rule->markerCount, text);
    if (marker) return ValueOfMarker(rule, marker, value);
    const FieldName* name = NamedIn(rule->names, rule->nameCount, text);
    if (name) return ValueOfName(rule, name, value);
    switch (RuleValueKind(rule)) {
        case KindText: return false;  // a digit text holds no text
        case KindDecimal: return ReadAsciiDigits(rule, text, value);
        case KindFloat: return ReadFloatValue(rule, text, value);
        default: break;
    }
    if (rule->type == FieldSbcd && text[0] == '-') return false;
    if (rule->flagCount && ReadFlags(rule, text, value)) return true;
    if (rule->hexFormat) return ReadHexInteger(rule, text, value);
    return ReadScaledInteger(rule, text, value);
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
    if (!CopyValueText(text, length, copy)) return false;
    if (rule->type == FieldTime) return TimeDigits(rule, copy, digitsOut, size);
    if (!ReadFieldValue(rule, copy, &value)) return false;
    if (!value.marker && MarkerOfValue(rule, &value)) return false;  // the device's own "no reading"
    return WriteDigits(rule, RawFieldInteger(rule, &value), hostWidth, digitsOut, size);
}
