#include "FieldExplain.h"

#include "NumberText.h"

#include <stdio.h>
#include <string.h>

// Significant digits of a computed value: the ones a double always holds.
enum { ComputedDigits = 15 };

const char* NameOfValue(const FieldRule* rule, const FieldValue* value) {
    if (value->kind == KindFloat) return NULL;
    for (size_t i = 0; i < rule->nameCount; ++i)
        if (rule->names[i].key == value->as.u) return rule->names[i].name;
    return NULL;
}

static bool IsScaled(const FieldRule* rule) { return rule->scale != 1 || rule->offset != 0; }

static double RawNumber(const FieldValue* value) {
    switch (value->kind) {
        case KindSigned: return (double)value->as.s;
        case KindUnsigned: return (double)value->as.u;
        default: return value->as.f;
    }
}

// An integer exactly, with the rule's decimals as zeros after the point.
static void FormatInteger(const FieldRule* rule, const FieldValue* value, char* out, size_t size) {
    if (value->kind == KindSigned)
        FormatSigned(value->as.s, out, size);
    else
        FormatUnsigned(value->as.u, out, size);
    if (rule->decimals <= 0) return;
    const size_t length = strlen(out);
    snprintf(out + length, size - length, ".%0*d", rule->decimals, 0);
}

static void FormatNumber(const FieldRule* rule, const FieldValue* value, double number, char* out, size_t size) {
    if (value->kind != KindFloat && !IsScaled(rule))
        FormatInteger(rule, value, out, size);
    else if (rule->decimals >= 0)
        FormatFixed(number, rule->decimals, out, size);
    else if (rule->type == FieldF32)
        FormatRoundTrip((float)number, true, out, size);  // a single's digits, scaled or not
    else if (rule->type == FieldF64 && !IsScaled(rule))
        FormatRoundTrip(number, false, out, size);
    else
        FormatSignificant(number, ComputedDigits, out, size);
}

static bool OutsideRange(const FieldRule* rule, double number) {
    return (rule->hasMin && !(number >= rule->min)) || (rule->hasMax && !(number <= rule->max));
}

void ExplainField(const FieldRule* rule, const FieldValue* value, char* valueOut, char* displayOut, size_t size,
                  uint16_t* code) {
    const double number = RawNumber(value) * rule->scale + rule->offset;
    FormatNumber(rule, value, number, valueOut, size);
    const char* name = NameOfValue(rule, value);
    if (name)
        snprintf(displayOut, size, "%s", name);
    else if (rule->unit)
        snprintf(displayOut, size, "%s %s", valueOut, rule->unit);
    else
        snprintf(displayOut, size, "%s", valueOut);
    const bool unnamed = rule->nameCount && !name && !rule->hasMin && !rule->hasMax;
    *code = OutsideRange(rule, number) || unnamed ? 1 : 0;
}
