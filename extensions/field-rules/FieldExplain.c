#include "FieldExplain.h"

#include "LongDecimal.h"
#include "NumberText.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

// Significant digits of a computed double: the ones a double always holds.
enum { ComputedDigits = 15 };

void NameKeyValue(const FieldName* name, Decimal* key) {
    if (name->negative)
        DecimalFromSigned((int64_t)name->key, key);
    else
        DecimalFromUnsigned(name->key, key);
}

// The name of the number: without scale and offset the raw number's, else
// the shown value's.
static const char* NameOfNumber(const FieldRule* rule, const FieldValue* value, const Decimal* shown) {
    for (size_t i = 0; i < rule->nameCount; ++i) {
        const FieldName* name = &rule->names[i];
        if (!shown && name->key == value->as.u) return name->name;
        if (!shown) continue;
        Decimal key;
        NameKeyValue(name, &key);
        if (DecimalCompare(&key, shown) == 0) return name->name;
    }
    return NULL;
}

int DerivedDecimals(const FieldRule* rule) {
    return rule->exactScale.exponent > rule->exactOffset.exponent ? rule->exactScale.exponent
                                                                   : rule->exactOffset.exponent;
}

bool IsUnscaled(const FieldRule* rule) {
    const Decimal* scale = &rule->exactScale;
    return rule->scaleExponentAt < 0 && DecimalIsZero(&rule->exactOffset) && !scale->negative &&
           scale->exponent == 0 && scale->limbs[0] == 1 && !scale->limbs[1] && !scale->limbs[2] && !scale->limbs[3];
}

static void RawDecimal(const FieldValue* value, Decimal* raw) {
    if (value->kind == KindDecimal)
        *raw = value->decimal;
    else if (value->kind == KindSigned)
        DecimalFromSigned(value->as.s, raw);
    else
        DecimalFromUnsigned(value->as.u, raw);
}

bool ScaleWithExponent(const FieldRule* rule, int exponent, Decimal* scale) {
    *scale = rule->exactScale;
    if (exponent <= 0) {
        scale->exponent -= exponent;  // a scale has at most 18 digits after the point, the exponent 10 more
        return true;
    }
    uint64_t power = 1;
    for (int i = 0; i < exponent; ++i) power *= 10;
    Decimal factor;
    DecimalFromUnsigned(power, &factor);
    return DecimalMultiply(&rule->exactScale, &factor, scale);
}

// The number as shown: raw x 10^exponent x scale + offset, rounded half away
// from zero to the digits the value text has, which are given in `decimals`.
static bool ShownNumber(const FieldRule* rule, const FieldValue* value, Decimal* shown, int* decimals) {
    Decimal raw;
    RawDecimal(value, &raw);
    if (IsUnscaled(rule)) {
        *shown = raw;
    } else {
        Decimal scale, scaled;
        if (!ScaleWithExponent(rule, value->exponent, &scale) || !DecimalMultiply(&raw, &scale, &scaled) ||
            !DecimalAdd(&scaled, &rule->exactOffset, shown))
            return false;
    }
    *decimals = rule->decimals >= 0 ? rule->decimals : shown->exponent;
    DecimalRound(shown, *decimals);
    return true;
}

// Upper-case hex digits, zero-padded to the width of the type or the mask
// (an ascii number without a mask has no width of its own).
static void FormatHex(const FieldRule* rule, const FieldValue* value, char* out, size_t size) {
    const unsigned bits = NumberBits(rule);
    const uint64_t number = bits < 64 ? value->as.u & ((UINT64_C(1) << bits) - 1) : value->as.u;
    const int width = rule->type == FieldAscii && !rule->mask ? 1 : (int)(bits + 3) / 4;
    snprintf(out, size, "%0*llX", width, (unsigned long long)number);
}

static bool OutsideExactRange(const FieldRule* rule, const Decimal* shown) {
    return (rule->hasMin && DecimalCompare(shown, &rule->exactMin) < 0) ||
           (rule->hasMax && DecimalCompare(shown, &rule->exactMax) > 0);
}

static bool AlarmSet(const FieldRule* rule, const FieldValue* value) {
    return (RawFieldInteger(rule, value) >> MaskShift(rule->mask) & rule->alarms) != 0;
}

// The names of the set flags, lowest bit first, joined by the separator; false when none is set.
static bool FlagNames(const FieldRule* rule, uint64_t number, char* out, size_t size) {
    size_t length = 0;
    out[0] = '\0';
    for (unsigned bit = 0; bit < 64; ++bit) {
        if (!(number >> bit & 1)) continue;
        for (size_t i = 0; i < rule->flagCount; ++i)
            if (rule->flags[i].key == bit && length < size) {
                length += (size_t)snprintf(out + length, size - length, "%s%s", length ? rule->separator : "",
                                           rule->flags[i].name);
                break;
            }
    }
    return length > 0;
}

static void ComposeDisplay(const FieldRule* rule, const FieldValue* value, const char* name, const char* valueText,
                           char* displayOut, size_t size) {
    if (name)
        snprintf(displayOut, size, "%s", name);
    else if (rule->flagCount && FlagNames(rule, RawFieldInteger(rule, value), displayOut, size))
        return;
    else if (rule->flagCount && rule->none)
        snprintf(displayOut, size, "%s", rule->none);
    else if (rule->unit)
        snprintf(displayOut, size, "%s %s", valueText, rule->unit);
    else
        snprintf(displayOut, size, "%s", valueText);
}

// A marked raw number: its name as value and display text, and the marker's code.
static void ExplainMarker(const FieldRule* rule, const FieldValue* value, char* valueOut, char* displayOut,
                          size_t size, uint16_t* code) {
    snprintf(valueOut, size, "%s", value->marker->name);
    snprintf(displayOut, size, "%s", value->marker->name);
    *code = rule->markerCode;
}

static bool ExplainNumber(const FieldRule* rule, const FieldValue* value, char* valueOut, char* displayOut,
                          size_t size, uint16_t* code) {
    Decimal shown;
    int decimals;
    if (!ShownNumber(rule, value, &shown, &decimals)) return false;
    if (rule->hexFormat)
        FormatHex(rule, value, valueOut, size);
    else
        FormatDecimal(&shown, decimals, valueOut, size);
    const char* name = rule->nameCount ? NameOfNumber(rule, value, IsUnscaled(rule) ? NULL : &shown) : NULL;
    ComposeDisplay(rule, value, name, valueOut, displayOut, size);
    const bool unnamed = rule->nameCount && !name && !rule->hasMin && !rule->hasMax;
    const bool alarm = rule->alarms && AlarmSet(rule, value);
    *code = OutsideExactRange(rule, &shown) || unnamed || alarm ? 1 : 0;
    return true;
}

static void FormatFloat(const FieldRule* rule, double raw, double number, char* out, size_t size) {
    if (rule->decimals >= 0)
        FormatFixed(number, rule->decimals, out, size);
    else if (rule->type == FieldF32)
        FormatSignificant(number, RoundTripDigits(raw, true), out, size);  // the digits the float needs
    else
        FormatRoundTrip(number, false, out, size);
}

// A scaled float without decimals: the exact value of its shortest text
// times the scale plus the offset, as written, at most 15 significant digits.
static bool ExactScaledFloat(const FieldRule* rule, double raw, LongDecimal* shown) {
    LongDecimal number, scale, offset;
    LongDecimalOfShortest(raw, rule->type == FieldF32, &number);
    LongDecimalOfDecimal(&rule->exactScale, &scale);
    LongDecimalOfDecimal(&rule->exactOffset, &offset);
    if (!LongDecimalMultiplyAdd(&number, &scale, &offset, shown)) return false;
    LongDecimalRoundSignificant(shown, ComputedDigits);
    return true;
}

static bool OutsideLongRange(const FieldRule* rule, const LongDecimal* shown) {
    LongDecimal bound;
    if (rule->hasMin && (LongDecimalOfDecimal(&rule->exactMin, &bound), LongDecimalCompare(shown, &bound) < 0))
        return true;
    return rule->hasMax && (LongDecimalOfDecimal(&rule->exactMax, &bound), LongDecimalCompare(shown, &bound) > 0);
}

// A float is shown with its own digits, with the decimals asked for, or
// (scaled, without decimals) exactly; its range is compared with the
// number its value text reads back as.
static bool ExplainFloat(const FieldRule* rule, const FieldValue* value, char* valueOut, char* displayOut,
                         size_t size, uint16_t* code) {
    const double raw = value->as.f;
    if (rule->decimals < 0 && !IsUnscaled(rule) && isfinite(raw)) {
        LongDecimal shown;
        if (!ExactScaledFloat(rule, raw, &shown) || !FormatLongDecimal(&shown, valueOut, size)) return false;
        ComposeDisplay(rule, value, NULL, valueOut, displayOut, size);
        *code = OutsideLongRange(rule, &shown) ? 1 : 0;
        return true;
    }
    const double number = raw * rule->scale + rule->offset;
    FormatFloat(rule, raw, number, valueOut, size);
    ComposeDisplay(rule, value, NULL, valueOut, displayOut, size);
    double shown = number;
    const char* end = ReadDecimal(valueOut, &shown);
    if (!end || *end) shown = number;  // NaN and the infinities
    *code = (rule->hasMin && !(shown >= rule->min)) || (rule->hasMax && !(shown <= rule->max)) ? 1 : 0;
    return true;
}

bool ExplainField(const FieldRule* rule, const FieldValue* value, char* valueOut, char* displayOut, size_t size,
                  uint16_t* code) {
    if (value->marker) {
        ExplainMarker(rule, value, valueOut, displayOut, size, code);
        return true;
    }
    switch (value->kind) {
        case KindText:
            snprintf(valueOut, size, "%s", value->text);
            snprintf(displayOut, size, "%s", value->text);
            *code = 0;
            return true;
        case KindFloat: return ExplainFloat(rule, value, valueOut, displayOut, size, code);
        default: return ExplainNumber(rule, value, valueOut, displayOut, size, code);
    }
}
