// Reads the value of each key of a rules file's section.
#include "FieldType.h"
#include "NumberText.h"
#include "RuleReason.h"
#include "RuleSection.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

// The longest number text read; far longer than any number written.
enum { MaxNumberLength = 127 };

static const wchar_t* const KeySpellings[KeyCount] = {
    [KeyType] = L"type",   [KeyOrder] = L"order", [KeyScale] = L"scale", [KeyOffset] = L"offset",
    [KeyDecimals] = L"decimals", [KeyUnit] = L"unit", [KeyMin] = L"min", [KeyMax] = L"max",
    [KeyNames] = L"names", [KeyMask] = L"mask", [KeyDigits] = L"digits",
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
    return L"type, order, scale, offset, decimals, unit, min, max, names, mask, digits";
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

static bool ReadNumber(const wchar_t* text, double* value, RuleReason reason) {
    char ascii[MaxNumberLength + 1];
    const char* end = AsciiOf(text, ascii) ? ReadDecimal(ascii, value) : NULL;
    if (end && *end == '\0') return true;
    SetRuleReason(reason, L"'%.40ls' is not a number: write it like 12, -0.5 or 1e-3", text);
    return false;
}

static bool ReadWhole(const wchar_t* text, WholeNumber* number) {
    char ascii[MaxNumberLength + 1];
    return AsciiOf(text, ascii) && ReadWholeNumber(ascii, number);
}

// A small count such as decimals or digits, from `lowest` to `highest`.
static bool ReadCount(const wchar_t* text, int lowest, int highest, int* count, const wchar_t* key,
                      RuleReason reason) {
    WholeNumber number;
    if (ReadWhole(text, &number) && !number.negative && number.magnitude >= (uint64_t)lowest &&
        number.magnitude <= (uint64_t)highest) {
        *count = (int)number.magnitude;
        return true;
    }
    SetRuleReason(reason, L"%ls must be a whole number from %d to %d, not '%.40ls'", key, lowest, highest, text);
    return false;
}

// A copy of `text` in the ANSI code page, in which every text reaches the
// host; false when a character has no form there or the text is too long.
static bool AnsiCopyOf(const wchar_t* text, char** copy, const wchar_t* what, RuleReason reason) {
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
    if (!ReadNumber(value, &section->rule.scale, reason)) return false;
    if (section->rule.scale != 0) return true;
    SetRuleReason(reason, L"scale must not be 0: every value would read 0 and none could be sent back");
    return false;
}

static bool ReadOffset(const wchar_t* value, RuleSection* section, RuleReason reason) {
    return ReadNumber(value, &section->rule.offset, reason);
}

static bool ReadMin(const wchar_t* value, RuleSection* section, RuleReason reason) {
    section->rule.hasMin = ReadNumber(value, &section->rule.min, reason);
    return section->rule.hasMin;
}

static bool ReadMax(const wchar_t* value, RuleSection* section, RuleReason reason) {
    section->rule.hasMax = ReadNumber(value, &section->rule.max, reason);
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
    if (ReadWhole(value, &mask) && !mask.negative && mask.magnitude != 0) {
        section->rule.mask = mask.magnitude;
        return true;
    }
    SetRuleReason(reason, L"mask '%.40ls' is not a whole number above 0 (write it like 0x30)", value);
    return false;
}

// Names: "0:停止, 1:运行", separated by commas, each number and name by a
// colon (the full-width forms ，and ： that Chinese input gives count too).
static bool IsNameSeparator(wchar_t c) { return c == L',' || c == L'\xFF0C'; }
static bool IsKeySeparator(wchar_t c) { return c == L':' || c == L'\xFF1A'; }
static bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\x3000'; }

// `text` from `start` to `end` without blanks around it, as a terminated copy in `out`.
static void TrimmedCopy(const wchar_t* start, const wchar_t* end, wchar_t* out) {
    while (start < end && IsBlank(*start)) ++start;
    while (end > start && IsBlank(end[-1])) --end;
    memcpy(out, start, (size_t)(end - start) * sizeof(wchar_t));
    out[end - start] = L'\0';
}

static bool FindNameProblem(const FieldRule* rule, const FieldName* name, RuleReason reason) {
    for (size_t i = 0; i < rule->nameCount; ++i) {
        const FieldName* other = &rule->names[i];
        if (other->key == name->key && other->negative == name->negative) {
            SetRuleReason(reason, L"names: the value %ls%llu is named twice", name->negative ? L"-" : L"",
                          (unsigned long long)(name->negative ? 0 - name->key : name->key));
            return true;
        }
        if (strcmp(other->name, name->name) == 0) {
            SetRuleReason(reason, L"names: two values have the same name, so Obscure could not tell them apart");
            return true;
        }
    }
    return false;
}

// "value:name" as a name, its key still to be checked against the type.
static bool ParseName(const wchar_t* item, FieldName* name, RuleReason reason) {
    const wchar_t* colon = item;
    while (*colon && !IsKeySeparator(*colon)) ++colon;
    if (!*colon) {
        SetRuleReason(reason, L"names: '%.40ls' is not 'value:name' (e.g. 0:stopped, 1:running)", item);
        return false;
    }
    wchar_t key[RuleLineMaxLength + 1], text[RuleLineMaxLength + 1];
    TrimmedCopy(item, colon, key);
    TrimmedCopy(colon + 1, colon + wcslen(colon), text);
    WholeNumber number;
    if (!ReadWhole(key, &number)) {
        SetRuleReason(reason, L"names: '%.40ls' is not a whole number", key);
        return false;
    }
    if (!*text) {
        SetRuleReason(reason, L"names: the value '%.40ls' has an empty name", key);
        return false;
    }
    name->negative = number.negative && number.magnitude != 0;
    name->key = name->negative ? 0 - number.magnitude : number.magnitude;
    return AnsiCopyOf(text, &name->name, L"name", reason);
}

static bool AddName(FieldRule* rule, FieldName name, RuleReason reason) {
    FieldName* names = NULL;
    if (!FindNameProblem(rule, &name, reason)) {
        names = realloc(rule->names, (rule->nameCount + 1) * sizeof *names);
        if (!names) SetRuleReason(reason, L"out of memory");
    }
    if (!names) {
        free(name.name);
        return false;
    }
    rule->names = names;
    rule->names[rule->nameCount++] = name;
    return true;
}

static bool ReadNames(const wchar_t* value, RuleSection* section, RuleReason reason) {
    for (const wchar_t* start = value; *start;) {
        const wchar_t* end = start;
        while (*end && !IsNameSeparator(*end)) ++end;
        wchar_t item[RuleLineMaxLength + 1];
        TrimmedCopy(start, end, item);
        FieldName name = {0, false, NULL};
        if (*item && !(ParseName(item, &name, reason) && AddName(&section->rule, name, reason))) return false;
        start = *end ? end + 1 : end;
    }
    if (section->rule.nameCount > 0) return true;
    SetRuleReason(reason, L"names: no 'value:name' is given");
    return false;
}

bool ReadRuleKey(RuleKey key, const wchar_t* value, RuleSection* section, RuleReason reason) {
    typedef bool (*KeyReader)(const wchar_t* value, RuleSection* section, RuleReason reason);
    static const KeyReader Readers[KeyCount] = {
        [KeyType] = ReadType,         [KeyOrder] = ReadOrder, [KeyScale] = ReadScale, [KeyOffset] = ReadOffset,
        [KeyDecimals] = ReadDecimals, [KeyUnit] = ReadUnit,   [KeyMin] = ReadMin,     [KeyMax] = ReadMax,
        [KeyNames] = ReadNames,       [KeyMask] = ReadMask,   [KeyDigits] = ReadDigits,
    };
    return Readers[key](value, section, reason);
}
