// Reads the keys whose value is a list: names and flags ("0:停止, 1:运行"),
// alarm bits ("0, 1, 7") and a time layout ("YY MM DD hh mm ss").
#include "RuleKeyReaders.h"
#include "RuleReason.h"
#include "TimeField.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

// Entries are separated by commas or semicolons, each number and name by a
// colon; the full-width forms ， ； and ： that Chinese input gives count too
// (the ASCII ';' starts a comment).
static bool IsEntrySeparator(wchar_t c) { return c == L',' || c == L'\xFF0C' || c == L'\xFF1B'; }
static bool IsKeySeparator(wchar_t c) { return c == L':' || c == L'\xFF1A'; }
static bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\x3000'; }

// `text` from `start` to `end` without blanks around it, as a terminated copy in `out`.
static void TrimmedCopy(const wchar_t* start, const wchar_t* end, wchar_t* out) {
    while (start < end && IsBlank(*start)) ++start;
    while (end > start && IsBlank(end[-1])) --end;
    memcpy(out, start, (size_t)(end - start) * sizeof(wchar_t));
    out[end - start] = L'\0';
}

// A list of names being read, and the key it is the value of.
typedef struct {
    FieldName** names;
    size_t* count;
    const wchar_t* key;    // "names" or "flags"
    const wchar_t* value;  // "value" or "bit"
} NameList;

static bool FindNameProblem(const NameList* list, const FieldName* name, RuleReason reason) {
    for (size_t i = 0; i < *list->count; ++i) {
        const FieldName* other = &(*list->names)[i];
        if (other->key == name->key && other->negative == name->negative) {
            SetRuleReason(reason, L"%ls: the %ls %ls%llu is named twice", list->key, list->value,
                          name->negative ? L"-" : L"", (unsigned long long)(name->negative ? 0 - name->key : name->key));
            return true;
        }
        if (strcmp(other->name, name->name) == 0) {
            SetRuleReason(reason, L"%ls: two %ls have the same name, so Obscure could not tell them apart",
                          list->key, list->key);
            return true;
        }
    }
    return false;
}

// "value:name" as a name, its key still to be checked against the type.
static bool ParseName(const NameList* list, const wchar_t* item, FieldName* name, RuleReason reason) {
    const wchar_t* colon = item;
    while (*colon && !IsKeySeparator(*colon)) ++colon;
    if (!*colon) {
        SetRuleReason(reason, L"%ls: '%.40ls' is not '%ls:name' (e.g. 0:stopped, 1:running)", list->key, item,
                      list->value);
        return false;
    }
    wchar_t key[RuleLineMaxLength + 1], text[RuleLineMaxLength + 1];
    TrimmedCopy(item, colon, key);
    TrimmedCopy(colon + 1, colon + wcslen(colon), text);
    WholeNumber number;
    if (!ReadWholeKeyValue(key, &number)) {
        SetRuleReason(reason, L"%ls: '%.40ls' is not a whole number", list->key, key);
        return false;
    }
    if (!*text) {
        SetRuleReason(reason, L"%ls: the %ls '%.40ls' has an empty name", list->key, list->value, key);
        return false;
    }
    name->negative = number.negative && number.magnitude != 0;
    const wchar_t* digits = key[0] == L'-' || key[0] == L'+' ? key + 1 : key;
    name->hexText = digits[0] == L'0' && (digits[1] == L'x' || digits[1] == L'X');
    name->key = name->negative ? 0 - number.magnitude : number.magnitude;
    return AnsiCopyOf(text, &name->name, L"name", reason);
}

static bool AddName(const NameList* list, FieldName name, RuleReason reason) {
    FieldName* names = NULL;
    if (!FindNameProblem(list, &name, reason)) {
        names = realloc(*list->names, (*list->count + 1) * sizeof *names);
        if (!names) SetRuleReason(reason, L"out of memory");
    }
    if (!names) {
        free(name.name);
        return false;
    }
    *list->names = names;
    names[(*list->count)++] = name;
    return true;
}

// Calls `read` with each entry of the list, trimmed; empty entries are skipped.
static bool ForEachEntry(const wchar_t* value, bool (*read)(const wchar_t* entry, void* context, RuleReason reason),
                         void* context, RuleReason reason) {
    for (const wchar_t* start = value; *start;) {
        const wchar_t* end = start;
        while (*end && !IsEntrySeparator(*end)) ++end;
        wchar_t entry[RuleLineMaxLength + 1];
        TrimmedCopy(start, end, entry);
        if (*entry && !read(entry, context, reason)) return false;
        start = *end ? end + 1 : end;
    }
    return true;
}

static bool ReadNameEntry(const wchar_t* entry, void* context, RuleReason reason) {
    const NameList* list = context;
    FieldName name = {0, false, NULL, false};
    return ParseName(list, entry, &name, reason) && AddName(list, name, reason);
}

static bool ReadNameList(const wchar_t* value, NameList list, RuleReason reason) {
    if (!ForEachEntry(value, ReadNameEntry, &list, reason)) return false;
    if (*list.count > 0) return true;
    SetRuleReason(reason, L"%ls: no '%ls:name' is given", list.key, list.value);
    return false;
}

bool ReadNames(const wchar_t* value, RuleSection* section, RuleReason reason) {
    const NameList list = {&section->rule.names, &section->rule.nameCount, L"names", L"value"};
    return ReadNameList(value, list, reason);
}

bool ReadFlags(const wchar_t* value, RuleSection* section, RuleReason reason) {
    const NameList list = {&section->rule.flags, &section->rule.flagCount, L"flags", L"bit"};
    if (!ReadNameList(value, list, reason)) return false;
    for (size_t i = 0; i < section->rule.flagCount; ++i)
        if (section->rule.flags[i].negative || section->rule.flags[i].key > 63) {
            SetRuleReason(reason, L"flags: bit numbers go from 0 (the least significant bit) to 63");
            return false;
        }
    return true;
}

// Raw numbers that mean no reading: checked against the type with the other keys.
bool ReadMarkers(const wchar_t* value, RuleSection* section, RuleReason reason) {
    const NameList list = {&section->rule.markers, &section->rule.markerCount, L"markers", L"value"};
    return ReadNameList(value, list, reason);
}

static bool ReadAlarmEntry(const wchar_t* entry, void* context, RuleReason reason) {
    uint64_t* alarms = context;
    WholeNumber bit;
    if (!ReadWholeKeyValue(entry, &bit) || bit.negative || bit.magnitude > 63) {
        SetRuleReason(reason, L"alarms: '%.40ls' is not a bit number from 0 to 63", entry);
        return false;
    }
    *alarms |= UINT64_C(1) << bit.magnitude;
    return true;
}

bool ReadAlarms(const wchar_t* value, RuleSection* section, RuleReason reason) {
    if (!ForEachEntry(value, ReadAlarmEntry, &section->rule.alarms, reason)) return false;
    if (section->rule.alarms) return true;
    SetRuleReason(reason, L"alarms: no bit number is given");
    return false;
}

// The part whose name starts `text` (YYYY before YY), or false.
static bool LayoutPartAt(const wchar_t* text, TimePart* part, size_t* length) {
    static const TimePart Parts[] = {TimeYear4, TimeYear2, TimeMonth,  TimeDay,
                                     TimeWeekday, TimeHour, TimeMinute, TimeSecond};
    for (size_t i = 0; i < sizeof Parts / sizeof Parts[0]; ++i) {
        const wchar_t* name = TimePartName(Parts[i]);
        if (wcsncmp(text, name, wcslen(name)) == 0) {
            *part = Parts[i];
            *length = wcslen(name);
            return true;
        }
    }
    return false;
}

static bool IsLayoutSeparator(wchar_t c) { return IsBlank(c) || (c && wcschr(L"-:/.,", c)); }

static bool LayoutHas(const FieldRule* rule, TimePart part) {
    for (size_t i = 0; i < rule->layoutCount; ++i)
        if (rule->layout[i] == part) return true;
    return false;
}

static bool AddLayoutPart(FieldRule* rule, TimePart part, RuleReason reason) {
    const bool year = part == TimeYear4 || part == TimeYear2;
    if (LayoutHas(rule, part) || (year && (LayoutHas(rule, TimeYear4) || LayoutHas(rule, TimeYear2)))) {
        SetRuleReason(reason, L"layout: %ls is given twice", TimePartName(part));
        return false;
    }
    if (rule->layoutCount == TimeLayoutMaxParts) {
        SetRuleReason(reason, L"layout: more than %d parts", TimeLayoutMaxParts);
        return false;
    }
    rule->layout[rule->layoutCount++] = part;
    return true;
}

// A date needs its year, month and day; a time its hours and minutes.
static bool LayoutComplete(const FieldRule* rule, RuleReason reason) {
    const bool year = LayoutHas(rule, TimeYear4) || LayoutHas(rule, TimeYear2);
    const bool anyDate = year || LayoutHas(rule, TimeMonth) || LayoutHas(rule, TimeDay);
    const bool anyTime = LayoutHas(rule, TimeHour) || LayoutHas(rule, TimeMinute) || LayoutHas(rule, TimeSecond);
    if (anyDate && !(year && LayoutHas(rule, TimeMonth) && LayoutHas(rule, TimeDay)))
        SetRuleReason(reason, L"layout: a date needs YYYY or YY, MM and DD");
    else if (anyTime && !(LayoutHas(rule, TimeHour) && LayoutHas(rule, TimeMinute)))
        SetRuleReason(reason, L"layout: a time needs hh and mm");
    else if (!anyDate && !anyTime)
        SetRuleReason(reason, L"layout: neither a date nor a time");
    else
        return true;
    return false;
}

bool ReadLayout(const wchar_t* value, RuleSection* section, RuleReason reason) {
    FieldRule* rule = &section->rule;
    for (const wchar_t* c = value; *c;) {
        TimePart part;
        size_t length;
        if (IsLayoutSeparator(*c)) {
            ++c;
        } else if (LayoutPartAt(c, &part, &length)) {
            if (!AddLayoutPart(rule, part, reason)) return false;
            c += length;
        } else {
            SetRuleReason(reason, L"layout: '%.20ls' is none of YYYY YY MM DD WW hh mm ss", c);
            return false;
        }
    }
    return LayoutComplete(rule, reason);
}

// The widths of a packed time's tokens: "7 4 5", blanks between them.
bool ReadTimeBits(const wchar_t* value, RuleSection* section, RuleReason reason) {
    FieldRule* rule = &section->rule;
    size_t count = 0;
    for (const wchar_t* c = value; *c;) {
        if (IsBlank(*c)) {
            ++c;
            continue;
        }
        wchar_t* end;
        const unsigned long width = wcstoul(c, &end, 10);
        if (end == c || width == 0 || width > 32 || count == TimeLayoutMaxParts) {
            SetRuleReason(reason, L"bits: '%.40ls' is not up to %d widths from 1 to 32 (such as 7 4 5)", value,
                          TimeLayoutMaxParts);
            return false;
        }
        rule->timeBits[count++] = (uint8_t)width;
        c = end;
    }
    rule->timeEncoding = TimePacked;
    return true;
}
