// EngineeringUnits: a sample extension library for OvixParamTransactor.
//
// Explain turns a parameter's 16-bit field into what the operator reads:
//   parameter 1, bus voltage:    raw x 0.01, unsigned, unit V  ("04D2" -> 12.34 V)
//   parameter 2, output current: raw x 0.1, signed, unit A     ("FF83" -> -12.5 A)
//   parameter 3, running state:  0 停止 (stopped), 1 运行 (running), 2 故障 (fault)
// and sets the explain code to 0 for a value within its range, 1 outside it.
// Obscure goes the way back: from the value text (12.34, or 运行 / 1) to the
// raw number's decimal digits, zero-padded to ObscureIntA digits.
// Other parameter ids are declined (result 1): the component then does its
// built-in work.
//
// Written in plain C on purpose: the component loads and frees an extension
// every time a library path changes or a transactor is released, and a C
// library uses nothing but the system's C runtime (msvcrt.dll), so each
// unload gives back everything the load took. A MinGW C++ library with its
// runtime linked in leaks at every unload (see README.md).

#include "ParamExtension.h"

#include <math.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// An enumerated raw value and its name, in GBK like every text the component
// exchanges (the bytes are spelled out so that the source file's encoding
// does not matter).
typedef struct {
    uint16_t raw;
    const char* name;
} StateName;

static const StateName RunningStates[] = {
    {0, "\xCD\xA3\xD6\xB9"},  // 停止
    {1, "\xD4\xCB\xD0\xD0"},  // 运行
    {2, "\xB9\xCA\xD5\xCF"},  // 故障
};
static const char UnknownState[] = "\xCE\xB4\xD6\xAA";  // 未知

typedef struct {
    int32_t id;
    bool isSigned;     // the raw number is two's complement
    double factor;     // engineering value = raw x factor
    int decimals;      // digits after the point in the value text
    const char* unit;  // NULL: an enumerated parameter
    double minimum, maximum;
} Parameter;

static const Parameter Parameters[] = {
    {1, false, 0.01, 2, "V", 0.0, 60.0},
    {2, true, 0.1, 1, "A", -100.0, 100.0},
    {3, false, 1.0, 0, NULL, 0.0, 2.0},
};

// Every text goes into its out-buffer through snprintf with the buffer's
// size, so it is always zero-terminated and at most 4095 characters long.

#define COUNT_OF(array) (sizeof(array) / sizeof((array)[0]))

// The longest value text Obscure reads; a number or a state name is far shorter.
enum { MaxValueTextLength = 255 };

static const Parameter* FindParameter(int32_t id) {
    for (size_t i = 0; i < COUNT_OF(Parameters); ++i)
        if (Parameters[i].id == id) return &Parameters[i];
    return NULL;
}

static int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The 16-bit raw number: four hex digits (a hex-encoded field, which the
// component hands over most significant byte first) or two raw bytes (a
// binary field, most significant byte first in the frame).
static bool ReadRaw(const char* valueText, int32_t valueLength, uint16_t* raw) {
    if (valueLength == 2) {
        *raw = (uint16_t)((uint8_t)valueText[0] << 8 | (uint8_t)valueText[1]);
        return true;
    }
    if (valueLength != 4) return false;
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = HexDigit(valueText[i]);
        if (digit < 0) return false;
        value = value << 4 | (unsigned)digit;
    }
    *raw = (uint16_t)value;
    return true;
}

static double EngineeringValue(const Parameter* parameter, uint16_t raw) {
    const int number = parameter->isSigned ? (int16_t)raw : raw;
    return number * parameter->factor;
}

static const char* StateNameOf(uint16_t raw) {
    for (size_t i = 0; i < COUNT_OF(RunningStates); ++i)
        if (RunningStates[i].raw == raw) return RunningStates[i].name;
    return NULL;
}

static void ExplainEnumerated(uint16_t raw, uint16_t* code, char* valueOut, char* displayOut) {
    const char* name = StateNameOf(raw);
    snprintf(valueOut, ExtensionOutBufferSize, "%u", (unsigned)raw);
    if (name)
        snprintf(displayOut, ExtensionOutBufferSize, "%s", name);
    else
        snprintf(displayOut, ExtensionOutBufferSize, "%s(%s)", UnknownState, valueOut);
    *code = name ? 0 : 1;
}

static void ExplainScaled(const Parameter* parameter, uint16_t raw, uint16_t* code, char* valueOut,
                          char* displayOut) {
    const double engineering = EngineeringValue(parameter, raw);
    snprintf(valueOut, ExtensionOutBufferSize, "%.*f", parameter->decimals, engineering);
    snprintf(displayOut, ExtensionOutBufferSize, "%s %s", valueOut, parameter->unit);
    *code = engineering >= parameter->minimum && engineering <= parameter->maximum ? 0 : 1;
}

// The value text as a C string in `text`; false when it is empty, too long,
// or holds a zero byte (no number or name does).
static bool CopyValueText(const char* valueText, int32_t valueLength, char text[MaxValueTextLength + 1]) {
    if (valueLength <= 0 || valueLength > MaxValueTextLength || memchr(valueText, '\0', (size_t)valueLength))
        return false;
    memcpy(text, valueText, (size_t)valueLength);
    text[valueLength] = '\0';
    return true;
}

// The raw number for an enumerated value text: a state's name or its number.
static bool RawOfState(const char* text, long* raw) {
    for (size_t i = 0; i < COUNT_OF(RunningStates); ++i)
        if (strcmp(text, RunningStates[i].name) == 0) {
            *raw = RunningStates[i].raw;
            return true;
        }
    char* end = NULL;
    *raw = strtol(text, &end, 10);
    return *end == '\0' && *raw >= 0 && *raw <= 0xFFFF && StateNameOf((uint16_t)*raw);
}

// The raw number for a scaled value text: the engineering value divided by
// the factor, rounded, and within the 16-bit range of the parameter.
static bool RawOfScaled(const Parameter* parameter, const char* text, long* raw) {
    char* end = NULL;
    const double engineering = strtod(text, &end);
    if (*end != '\0' || !isfinite(engineering)) return false;
    const double rounded = round(engineering / parameter->factor);
    const double lowest = parameter->isSigned ? -32768.0 : 0.0;
    const double highest = parameter->isSigned ? 32767.0 : 65535.0;
    if (rounded < lowest || rounded > highest) return false;
    *raw = (long)rounded;
    return true;
}

// The raw 16-bit number as decimal digits, at least `width` of them (a width
// that does not fit the out-buffer is ignored).
static void WriteDigits(char* digitsOut, long raw, int32_t width) {
    const unsigned value = (uint16_t)raw;  // two's complement for negative numbers
    const int padding = width > 0 && width < ExtensionOutBufferSize ? (int)width : 0;
    snprintf(digitsOut, ExtensionOutBufferSize, "%0*u", padding, value);
}

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength,
                               int32_t paramId, uint16_t* explainCode, char* valueOut, char* displayOut,
                               IParam* param) {
    (void)reserved, (void)reservedLength, (void)fieldBytes, (void)fieldLength, (void)param;
    const Parameter* parameter = FindParameter(paramId);
    uint16_t raw = 0;
    if (!parameter || !ReadRaw(valueText, valueLength, &raw)) return 1;
    if (parameter->unit)
        ExplainScaled(parameter, raw, explainCode, valueOut, displayOut);
    else
        ExplainEnumerated(raw, explainCode, valueOut, displayOut);
    return 0;
}

int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param) {
    (void)reserved, (void)reservedLength, (void)obscureIntB, (void)obscureByteA, (void)obscureByteB, (void)param;
    const Parameter* parameter = FindParameter(paramId);
    char text[MaxValueTextLength + 1];
    if (!parameter || !CopyValueText(valueText, valueLength, text)) return 1;
    long raw = 0;
    const bool known = parameter->unit ? RawOfScaled(parameter, text, &raw) : RawOfState(text, &raw);
    if (!known) return 1;
    WriteDigits(digitsOut, raw, obscureIntA);
    return 0;
}
