// Reads the value of each key of a rules file's section.
#include "FieldDecode.h"
#include "RuleKeyReaders.h"
#include "RuleReason.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

// The longest number text read; far longer than any number written.
enum { MaxNumberLength = 127 };

// The most digits after the point of a scale or offset.
enum { MaxFactorDecimals = 18 };

static const wchar_t* const KeySpellings[KeyCount] = {
    [KeyType] = L"type",   [KeyOrder] = L"order", [KeyScale] = L"scale", [KeyOffset] = L"offset",
    [KeyDecimals] = L"decimals", [KeyUnit] = L"unit", [KeyMin] = L"min", [KeyMax] = L"max",
    [KeyNames] = L"names", [KeyMask] = L"mask", [KeyDigits] = L"digits", [KeyBias] = L"bias",
    [KeyLayout] = L"layout", [KeyEncoding] = L"encoding", [KeyFlags] = L"flags", [KeySeparator] = L"separator",
    [KeyNone] = L"none", [KeyAlarms] = L"alarms", [KeyFormat] = L"format", [KeyMarkers] = L"markers",
    [KeyMarkerCode] = L"marker_code", [KeyScaleExponentAt] = L"scale_exponent_at",
    [KeyScaleExponent] = L"scale_exponent", [KeyBase] = L"base", [KeyBits] = L"bits", [KeyFrameStart] = L"start",
    [KeyFrameCount] = L"count", [KeyFrameHex] = L"hex",
};

bool RuleKeyNamed(const wchar_t* name, RuleKey* key) {
    for (int i = 0; i < KeyCount; ++i)
        if (_wcsicmp(name, KeySpellings[i]) == 0) {
            *key = (RuleKey)i;
            return true;
        }
    return false;
}

const wchar_t* RuleKeyName(RuleKey key) { return KeySpellings[key]; }

const wchar_t* RuleKeyNameList(void) {
    return L"type, order, scale, offset, decimals, unit, min, max, names, mask, digits, bias, layout, encoding, "
           L"flags, separator, none, alarms, format, markers, marker_code, scale_exponent_at, scale_exponent, base, "
           L"bits, start, count, hex";
}

// `text` in ASCII, for reading numbers; false for another character or a too long text.
static bool AsciiOf(const wchar_t* text, char ascii[MaxNumberLength + 1]) {
    size_t i = 0;
    for (; text[i]; ++i) {
        if (text[i] > 0x7E || i == MaxNumberLength) return false;
        ascii[i] = (char)text[i];
    }
    ascii[i] = '\0';
    return true;
}

// A number as a double and, as written, exactly; false when it is neither.
static bool ReadNumber(const wchar_t* text, double* value, Decimal* exact, RuleReason reason) {
    char ascii[MaxNumberLength + 1];
    const char* end = AsciiOf(text, ascii) ? ReadDecimal(ascii, value) : NULL;
    if (!end || *end) {
        SetRuleReason(reason, L"'%.40ls' is not a number: write it like 12, -0.5 or 1e-3", text);
        return false;
    }
    end = ReadExactDecimal(ascii, exact);
    if (end && *end == '\0') return true;
    SetRuleReason(reason, L"'%.40ls' has more digits than exact arithmetic holds (38)", text);
    return false;
}

// A scale or an offset: raw numbers of 64 bits times it must stay within the exact arithmetic.
static bool ReadFactor(const wchar_t* text, double* value, Decimal* exact, RuleReason reason) {
    if (!ReadNumber(text, value, exact, reason)) return false;
    if (exact->exponent <= MaxFactorDecimals && !exact->limbs[2] && !exact->limbs[3]) return true;
    SetRuleReason(reason, L"'%.40ls' has too many digits: at most %d after the point and 19 in all", text,
                  MaxFactorDecimals);
    return false;
}

bool ReadWholeKeyValue(const wchar_t* text, WholeNumber* number) {
    char ascii[MaxNumberLength + 1];
    return AsciiOf(text, ascii) && ReadWholeNumber(ascii, number);
}

// A small count such as decimals or digits, from `lowest` to `highest`.
static bool ReadCount(const wchar_t* text, int lowest, int highest, int* count, const wchar_t* key,
                      RuleReason reason) {
    WholeNumber number;
    if (ReadWholeKeyValue(text, &number) && !number.negative && number.magnitude >= (uint64_t)lowest &&
        number.magnitude <= (uint64_t)highest) {
        *count = (int)number.magnitude;
        return true;
    }
    SetRuleReason(reason, L"%ls must be a whole number from %d to %d, not '%.40ls'", key, lowest, highest, text);
    return false;
}

bool AnsiCopyOf(const wchar_t* text, char** copy, const wchar_t* what, RuleReason reason) {
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, NULL, 0, NULL, &lossy);
    if (size <= 0 || lossy) {
        SetRuleReason(reason, L"%ls '%.40ls' has characters the ANSI code page (%u) cannot show", what, text,
                      GetACP());
        return false;
    }
    if (size - 1 > RuleTextMaxBytes) {
        SetRuleReason(reason, L"%ls '%.40ls...' is longer than %d bytes", what, text, RuleTextMaxBytes);
        return false;
    }
    *copy = malloc((size_t)size);
    if (!*copy) {
        SetRuleReason(reason, L"out of memory");
        return false;
    }
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, *copy, size, NULL, NULL);
    return true;
}

static bool ReadType(const wchar_t* value, RuleSection* section, RuleReason reason) {
    if (FieldTypeNamed(value, &section->rule.type)) return true;
    SetRuleReason(reason, L"unknown type '%.40ls': use %ls", value, FieldTypeNameList());
    return false;
}

static bool ReadOrder(const wchar_t* value, RuleSection* section, RuleReason reason) {
    static const struct {
        const wchar_t* letters;
        ByteOrder order;
    } Orders[] = {
        {L"AB", {false, false}},   {L"BA", {true, false}},    {L"ABCD", {false, false}},
        {L"DCBA", {true, true}},   {L"BADC", {true, false}},  {L"CDAB", {false, true}},
    };
    for (size_t i = 0; i < sizeof Orders / sizeof Orders[0]; ++i)
        if (_wcsicmp(value, Orders[i].letters) == 0) {
            section->rule.order = Orders[i].order;
            section->orderWidth = (unsigned)wcslen(Orders[i].letters);
            return true;
        }
    SetRuleReason(reason, L"unknown order '%.40ls': use AB or BA for 16 bits, ABCD, DCBA, BADC or CDAB for 32 and 64",
                  value);
    return false;
}

static bool ReadScale(const wchar_t* value, RuleSection* section, RuleReason reason) {
    if (!ReadFactor(value, &section->rule.scale, &section->rule.exactScale, reason)) return false;
    if (!DecimalIsZero(&section->rule.exactScale)) return true;
    SetRuleReason(reason, L"scale must not be 0: every value would read 0 and none could be sent back");
    return false;
}

static bool ReadOffset(const wchar_t* value, RuleSection* section, RuleReason reason) {
    return ReadFactor(value, &section->rule.offset, &section->rule.exactOffset, reason);
}

static bool ReadMin(const wchar_t* value, RuleSection* section, RuleReason reason) {
    section->rule.hasMin = ReadNumber(value, &section->rule.min, &section->rule.exactMin, reason);
    return section->rule.hasMin;
}

static bool ReadMax(const wchar_t* value, RuleSection* section, RuleReason reason) {
    section->rule.hasMax = ReadNumber(value, &section->rule.max, &section->rule.exactMax, reason);
    return section->rule.hasMax;
}

static bool ReadDecimals(const wchar_t* value, RuleSection* section, RuleReason reason) {
    return ReadCount(value, 0, 17, &section->rule.decimals, L"decimals", reason);
}

static bool ReadDigits(const wchar_t* value, RuleSection* section, RuleReason reason) {
    return ReadCount(value, 1, 4095, &section->rule.digits, L"digits", reason);
}

static bool ReadUnit(const wchar_t* value, RuleSection* section, RuleReason reason) {
    return AnsiCopyOf(value, &section->rule.unit, L"unit", reason);
}

static bool ReadMask(const wchar_t* value, RuleSection* section, RuleReason reason) {
    WholeNumber mask;
    if (ReadWholeKeyValue(value, &mask) && !mask.negative && mask.magnitude != 0) {
        section->rule.mask = mask.magnitude;
        return true;
    }
    SetRuleReason(reason, L"mask '%.40ls' is not a whole number above 0 (write it like 0x30)", value);
    return false;
}

static bool ReadBias(const wchar_t* value, RuleSection* section, RuleReason reason) {
    WholeNumber bias;
    if (ReadWholeKeyValue(value, &bias) && !bias.negative && bias.magnitude <= 0xFF) {
        section->rule.bias = (uint8_t)bias.magnitude;
        return true;
    }
    SetRuleReason(reason, L"bias '%.40ls' is not a byte: write it like 0x33", value);
    return false;
}

// One of two words: false, with the reason, for another.
static bool ReadChoice(const wchar_t* value, const wchar_t* key, const wchar_t* first, const wchar_t* second,
                       bool* isSecond, RuleReason reason) {
    if (_wcsicmp(value, first) == 0 || _wcsicmp(value, second) == 0) {
        *isSecond = _wcsicmp(value, second) == 0;
        return true;
    }
    SetRuleReason(reason, L"%ls '%.40ls' is unknown: use %ls or %ls", key, value, first, second);
    return false;
}

static bool ReadEncoding(const wchar_t* value, RuleSection* section, RuleReason reason) {
    static const wchar_t* const Names[] = {[TimeBcd] = L"bcd", [TimeBinary] = L"binary", [TimeAscii] = L"ascii"};
    for (size_t i = 0; i < sizeof Names / sizeof Names[0]; ++i)
        if (_wcsicmp(value, Names[i]) == 0) {
            section->rule.timeEncoding = (TimeEncoding)i;
            return true;
        }
    SetRuleReason(reason, L"encoding '%.40ls' is unknown: use bcd, binary or ascii", value);
    return false;
}

static bool ReadFormat(const wchar_t* value, RuleSection* section, RuleReason reason) {
    return ReadChoice(value, L"format", L"decimal", L"hex", &section->rule.hexFormat, reason);
}

static bool ReadSeparator(const wchar_t* value, RuleSection* section, RuleReason reason) {
    return AnsiCopyOf(value, &section->rule.separator, L"separator", reason);
}

static bool ReadNone(const wchar_t* value, RuleSection* section, RuleReason reason) {
    return AnsiCopyOf(value, &section->rule.none, L"none", reason);
}

static bool ReadMarkerCode(const wchar_t* value, RuleSection* section, RuleReason reason) {
    int code;
    if (!ReadCount(value, 0, 65535, &code, L"marker_code", reason)) return false;
    section->rule.markerCode = (uint16_t)code;
    return true;
}

static bool ReadScaleExponentAt(const wchar_t* value, RuleSection* section, RuleReason reason) {
    return ReadCount(value, 0, FieldMaxBytes - 2, &section->rule.scaleExponentAt, L"scale_exponent_at", reason);
}

static bool ReadScaleExponent(const wchar_t* value, RuleSection* section, RuleReason reason) {
    WholeNumber number;
    if (ReadWholeKeyValue(value, &number) && number.magnitude <= ScaleExponentLimit) {
        section->rule.scaleExponent = number.negative ? -(int)number.magnitude : (int)number.magnitude;
        section->rule.hasScaleExponent = true;
        return true;
    }
    SetRuleReason(reason, L"scale_exponent must be a whole number from -%d to %d, not '%.40ls'", ScaleExponentLimit,
                  ScaleExponentLimit, value);
    return false;
}

static bool ReadBase(const wchar_t* value, RuleSection* section, RuleReason reason) {
    WholeNumber number;
    if (ReadWholeKeyValue(value, &number) && !number.negative &&
        (number.magnitude == 2 || number.magnitude == 10 || number.magnitude == 16)) {
        section->rule.base = (unsigned)number.magnitude;
        return true;
    }
    SetRuleReason(reason, L"base '%.40ls' is unknown: use 2, 10 or 16", value);
    return false;
}

static bool ReadFrameStart(const wchar_t* value, RuleSection* section, RuleReason reason) {
    return ReadCount(value, 1, INT32_MAX, &section->rule.frameStart, L"start", reason);
}

static bool ReadFrameCount(const wchar_t* value, RuleSection* section, RuleReason reason) {
    return ReadCount(value, 1, INT32_MAX, &section->rule.frameCount, L"count", reason);
}

static bool ReadFrameHex(const wchar_t* value, RuleSection* section, RuleReason reason) {
    return ReadChoice(value, L"hex", L"no", L"yes", &section->rule.frameHex, reason);
}

bool ReadRuleKey(RuleKey key, const wchar_t* value, RuleSection* section, RuleReason reason) {
    typedef bool (*KeyReader)(const wchar_t* value, RuleSection* section, RuleReason reason);
    static const KeyReader Readers[KeyCount] = {
        [KeyType] = ReadType,         [KeyOrder] = ReadOrder,         [KeyScale] = ReadScale,
        [KeyOffset] = ReadOffset,     [KeyDecimals] = ReadDecimals,   [KeyUnit] = ReadUnit,
        [KeyMin] = ReadMin,           [KeyMax] = ReadMax,             [KeyNames] = ReadNames,
        [KeyMask] = ReadMask,         [KeyDigits] = ReadDigits,       [KeyBias] = ReadBias,
        [KeyLayout] = ReadLayout,     [KeyEncoding] = ReadEncoding,   [KeyFlags] = ReadFlags,
        [KeySeparator] = ReadSeparator, [KeyNone] = ReadNone,         [KeyAlarms] = ReadAlarms,
        [KeyFormat] = ReadFormat,     [KeyMarkers] = ReadMarkers,     [KeyMarkerCode] = ReadMarkerCode,
        [KeyScaleExponentAt] = ReadScaleExponentAt, [KeyScaleExponent] = ReadScaleExponent, [KeyBase] = ReadBase,
        [KeyBits] = ReadTimeBits,     [KeyFrameStart] = ReadFrameStart, [KeyFrameCount] = ReadFrameCount,
        [KeyFrameHex] = ReadFrameHex,
    };
    return Readers[key](value, section, reason);
}
