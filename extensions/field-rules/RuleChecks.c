// What the keys of one section say against each other: an order, mask,
// name or flag that the type cannot hold, a key the type has no use for, a
// range upside down.
#include "FieldExplain.h"
#include "FieldObscure.h"
#include "RuleKeyReaders.h"
#include "RuleReason.h"
#include "TimeField.h"

#include <string.h>

static const wchar_t* TypeName(const FieldRule* rule) { return FieldTypeInfoOf(rule->type)->name; }

// The key was given with a value that was read.
static bool KeyRead(const RuleSection* section, RuleKey key) {
    return section->keyLines[key] && !(section->failedKeys & 1u << key);
}

static void Report(RuleSection* section, RuleBook* book, RuleKey key, const wchar_t* reason) {
    section->rule.broken = true;
    AddRuleProblem(book, section->keyLines[key], reason);
}

// bcd, sbcd and time read the whole field: as sent, or least significant byte first.
static bool IsWholeFieldOrder(const RuleSection* section) {
    const ByteOrder order = section->rule.order;
    return section->orderWidth == 4 && order.swapBytes == order.reverseWords;
}

static bool IsPackedTime(const FieldRule* rule) { return rule->type == FieldTime && rule->timeEncoding == TimePacked; }

static void CheckOrder(RuleSection* section, RuleBook* book) {
    const FieldRule* rule = &section->rule;
    if (!KeyRead(section, KeyOrder)) return;
    // a packed time is one number of its bytes, ordered as an integer of that width
    const unsigned width = IsPackedTime(rule) ? (unsigned)TimeLayoutBytes(rule) : FieldTypeInfoOf(rule->type)->width;
    const bool wholeField = IsBcdType(rule->type) || (rule->type == FieldTime && !IsPackedTime(rule));
    const bool fits = wholeField ? IsWholeFieldOrder(section)
                      : section->orderWidth == 2 ? width == 2
                                                 : width == 4 || width == 8;
    if (fits) return;
    RuleReason reason;
    if (wholeField)
        SetRuleReason(reason, L"%ls reads ABCD (as sent) or DCBA (least significant byte first)", TypeName(rule));
    else if (width == 2)
        SetRuleReason(reason, L"order of %u bytes does not fit %ls: use AB or BA", section->orderWidth, TypeName(rule));
    else if (width == 4 || width == 8)
        SetRuleReason(reason, L"order of %u bytes does not fit %ls: use ABCD, DCBA, BADC or CDAB",
                      section->orderWidth, TypeName(rule));
    else
        SetRuleReason(reason, L"%ls has no byte order: leave the order out", TypeName(rule));
    Report(section, book, KeyOrder, reason);
}

static void CheckMask(RuleSection* section, RuleBook* book) {
    const FieldRule* rule = &section->rule;
    if (!KeyRead(section, KeyMask)) return;
    const unsigned bits = HoldsBits(rule) ? (IntegerBits(rule->type) ? IntegerBits(rule->type) : 64) : 0;
    RuleReason reason;
    if (bits == 0)
        SetRuleReason(reason, L"a mask applies to the integer types only, not to %ls", TypeName(rule));
    else if (bits < 64 && rule->mask >> bits)
        SetRuleReason(reason, L"mask 0x%llX does not fit in %ls (%u bits)", (unsigned long long)rule->mask,
                      TypeName(rule), bits);
    else
        return;
    Report(section, book, KeyMask, reason);
}

// Whether the key fits the number the rule reads: its bits, signed or not, or bcd's 16 digits.
static bool NameKeyFits(const FieldRule* rule, const FieldName* name) {
    const uint64_t magnitude = name->negative ? 0 - name->key : name->key;
    if (rule->type == FieldBcd) return !name->negative && magnitude <= UINT64_C(9999999999999999);
    if (rule->type == FieldSbcd) return magnitude <= UINT64_C(7999999999999999);
    const unsigned bits = NumberBits(rule);
    if (RuleValueKind(rule) == KindUnsigned)
        return !name->negative && (bits == 64 || magnitude >> bits == 0);
    const uint64_t highestPositive = (UINT64_C(1) << (bits - 1)) - 1;
    return magnitude <= highestPositive + name->negative;
}

// In a scaled rule a name names a value as shown: a raw number the type
// holds must show exactly that value.
static bool NameShown(const FieldRule* rule, const FieldName* name) {
    FieldValue value;
    Decimal raw, scaled, shown, key;
    if (!ReadFieldValue(rule, name->name, &value)) return false;
    if (value.kind == KindSigned)
        DecimalFromSigned(value.as.s, &raw);
    else
        DecimalFromUnsigned(value.as.u, &raw);
    NameKeyValue(name, &key);
    return DecimalMultiply(&raw, &rule->exactScale, &scaled) && DecimalAdd(&scaled, &rule->exactOffset, &shown) &&
           DecimalCompare(&shown, &key) == 0;
}

// Writes why the rule can never show the name; false when it can.
static bool NameProblem(const FieldRule* rule, const FieldName* name, RuleReason reason) {
    const wchar_t* sign = name->negative ? L"-" : L"";
    const unsigned long long magnitude = name->negative ? 0 - name->key : name->key;
    if (!IsUnscaled(rule)) {
        if (rule->scaleExponentAt >= 0 || NameShown(rule, name)) return false;  // the exponent is the device's
        SetRuleReason(reason, L"names: no raw number of %ls shows %ls%llu with this scale and offset", TypeName(rule),
                      sign, magnitude);
    } else if (NameKeyFits(rule, name)) {
        return false;
    } else if (rule->mask) {
        SetRuleReason(reason, L"names: the value %ls%llu does not fit in the mask's %u bits (%ls)", sign, magnitude,
                      NumberBits(rule), TypeName(rule));
    } else {
        SetRuleReason(reason, L"names: the value %ls%llu does not fit in %ls", sign, magnitude, TypeName(rule));
    }
    return true;
}

static void CheckNames(RuleSection* section, RuleBook* book) {
    const FieldRule* rule = &section->rule;
    if (!KeyRead(section, KeyNames)) return;
    RuleReason reason;
    if (!IsIntegerType(rule->type) && !HoldsBits(rule)) {
        SetRuleReason(reason, L"names apply to the integer types, bcd, sbcd and ascii in base 2 or 16, not to %ls",
                      TypeName(rule));
        return Report(section, book, KeyNames, reason);
    }
    for (size_t i = 0; i < rule->nameCount; ++i)
        if (NameProblem(rule, &rule->names[i], reason)) return Report(section, book, KeyNames, reason);
}

static void CheckRange(RuleSection* section, RuleBook* book) {
    const FieldRule* rule = &section->rule;
    if (!rule->hasMin || !rule->hasMax || DecimalCompare(&rule->exactMin, &rule->exactMax) <= 0) return;
    Report(section, book, KeyMax, L"max is below min: no value could be in range");
}

// A key given for a type that has no use for it.
static void CheckKeyApplies(RuleSection* section, RuleBook* book, RuleKey key, bool applies, const wchar_t* what) {
    if (!KeyRead(section, key) || applies) return;
    RuleReason reason;
    SetRuleReason(reason, L"%ls applies to %ls, not to %ls", RuleKeyName(key), what, TypeName(&section->rule));
    Report(section, book, key, reason);
}

static void CheckKeysApply(RuleSection* section, RuleBook* book) {
    const FieldType type = section->rule.type;
    const bool number = IsNumberType(type), integer = HoldsBits(&section->rule);
    static const RuleKey NumberKeys[] = {KeyScale, KeyOffset, KeyDecimals, KeyUnit, KeyMin, KeyMax, KeyDigits};
    for (size_t i = 0; i < sizeof NumberKeys / sizeof NumberKeys[0]; ++i)
        CheckKeyApplies(section, book, NumberKeys[i], number, L"numbers");
    static const wchar_t Integers[] = L"the integer types u8 to s64 and ascii in base 2 or 16";
    CheckKeyApplies(section, book, KeyFlags, integer, Integers);
    CheckKeyApplies(section, book, KeyAlarms, integer, Integers);
    CheckKeyApplies(section, book, KeyFormat, integer, Integers);
    CheckKeyApplies(section, book, KeyLayout, type == FieldTime, L"time");
    CheckKeyApplies(section, book, KeyEncoding, type == FieldTime, L"time");
    CheckKeyApplies(section, book, KeyBits, type == FieldTime, L"time");
    CheckKeyApplies(section, book, KeyBase, type == FieldAscii, L"ascii");
    CheckKeyApplies(section, book, KeyMarkers, IsIntegerType(type) || integer,
                    L"the integer types, bcd, sbcd and ascii in base 2 or 16");
    // bcd, sbcd and ascii read the whole field: an exponent in it would be read as digits of the number
    CheckKeyApplies(section, book, KeyScaleExponentAt, IntegerBits(type) > 0, L"the integer types u8 to s64");
    if (type == FieldTime && !section->keyLines[KeyLayout]) {
        section->rule.broken = true;
        AddRuleProblem(book, section->keyLines[KeyType], L"time needs a layout, such as 'layout = YY MM DD hh mm ss'");
    }
}

// A bit beyond the type's width, or flags beside a mask or names.
static void CheckFlags(RuleSection* section, RuleBook* book) {
    FieldRule* rule = &section->rule;
    const unsigned bits = HoldsBits(rule) ? NumberBits(rule) : 0;
    if (bits && bits < 64 && rule->alarms >> bits)
        Report(section, book, KeyAlarms, L"alarms: a bit number beyond the type's width");
    if (!KeyRead(section, KeyFlags) || !bits) {
        CheckKeyApplies(section, book, KeySeparator, false, L"flags");
        CheckKeyApplies(section, book, KeyNone, false, L"flags");
        return;
    }
    for (size_t i = 0; i < rule->flagCount; ++i)
        if (rule->flags[i].key >= bits) Report(section, book, KeyFlags, L"flags: a bit number beyond the type's width");
    if (section->keyLines[KeyMask] || section->keyLines[KeyNames])
        Report(section, book, KeyFlags, L"flags name bits of the whole number: leave out mask and names");
    RuleReason reason;
    if (!rule->separator && !AnsiCopyOf(L"\x3001", &rule->separator, L"separator", reason))
        AnsiCopyOf(L", ", &rule->separator, L"separator", reason);  // a code page without the Chinese comma
    if (!rule->separator) Report(section, book, KeyFlags, L"out of memory");
}

static void CheckHexFormat(RuleSection* section, RuleBook* book) {
    if (!section->rule.hexFormat) return;
    static const RuleKey Scaling[] = {KeyScale, KeyOffset, KeyDecimals, KeyScaleExponentAt};
    for (size_t i = 0; i < sizeof Scaling / sizeof Scaling[0]; ++i)
        if (section->keyLines[Scaling[i]])
            Report(section, book, Scaling[i],
                   L"format = hex shows the raw number: leave out scale, offset, decimals and scale_exponent_at");
}

// decimals that drop digits of the scale or offset: the value text is
// rounded, and Obscure may not come back to the raw number it came from.
static void CheckRoundTrip(const RuleSection* section, RuleBook* book) {
    const FieldRule* rule = &section->rule;
    if (!KeyRead(section, KeyDecimals) || !IsIntegerType(rule->type)) return;
    const int scaleDigits = DecimalSignificantExponent(&rule->exactScale);
    const int offsetDigits = DecimalSignificantExponent(&rule->exactOffset);
    const int needed = scaleDigits > offsetDigits ? scaleDigits : offsetDigits;
    if (rule->decimals >= needed) return;
    RuleReason reason;
    SetRuleReason(reason, L"decimals = %d drops digits of the scale or offset (%d needed): Obscure cannot always go "
                          L"back to the raw number",
                  rule->decimals, needed);
    AddRuleWarning(book, section->keyLines[KeyDecimals], reason);
}

// A marker is a raw number in the number's width: a negative one of a
// signed type stands for its two's complement (-32768 on s16 is 0x8000); for
// bcd, the field's bytes as a hex number (0xFFFF is FF FF).
static bool NormalizeMarker(const FieldRule* rule, FieldName* marker) {
    const uint64_t magnitude = marker->negative ? 0 - marker->key : marker->key;
    const unsigned bits = IsBcdType(rule->type) ? 64 : NumberBits(rule);
    const uint64_t all = bits == 64 ? ~UINT64_C(0) : (UINT64_C(1) << bits) - 1;
    if (!marker->negative) return magnitude <= all;
    if (RuleValueKind(rule) != KindSigned || IsBcdType(rule->type) || magnitude > (all >> 1) + 1) return false;
    marker->key = (0 - magnitude) & all;
    marker->negative = false;
    return true;
}

// A marker's name that Obscure would also read as a value: a number, a name
// of names, flag names, none's text, hex digits of format = hex.
static bool MarkerNameIsValueText(const FieldRule* rule, const FieldName* marker) {
    double number;
    WholeNumber whole;
    const char* end = ReadDecimal(marker->name, &number);
    if ((end && *end == '\0') || ReadWholeNumber(marker->name, &whole)) return true;
    FieldRule withoutMarkers = *rule;
    withoutMarkers.markerCount = 0;
    FieldValue value;
    return ReadFieldValue(&withoutMarkers, marker->name, &value);
}

// A bcd marker written in decimal is taken as those bytes in binary (9999 is
// 27 0F), which hold no bcd digits: most likely the bytes 99 99 were meant.
static void WarnDecimalBcdMarker(const RuleSection* section, RuleBook* book, const FieldName* marker) {
    if (!IsBcdType(section->rule.type) || marker->hexText) return;
    bool digits = true;
    for (uint64_t key = marker->key; key; key >>= 4) digits = digits && (key & 0xF) <= 9;
    if (digits) return;
    RuleReason reason;
    SetRuleReason(reason, L"markers: %llu, written in decimal, is the bytes 0x%llX, which hold no bcd digits: did you "
                          L"mean 0x%llu?",
                  (unsigned long long)marker->key, (unsigned long long)marker->key, (unsigned long long)marker->key);
    AddRuleWarning(book, section->keyLines[KeyMarkers], reason);
}

// Why the marker cannot be told apart from another marker or a value text; false when it can.
static bool MarkerProblem(const FieldRule* rule, size_t index, RuleReason reason) {
    const FieldName* marker = &rule->markers[index];
    for (size_t j = 0; j < index; ++j)
        if (rule->markers[j].key == marker->key) {
            SetRuleReason(reason, L"markers: the raw number 0x%llX is given twice", (unsigned long long)marker->key);
            return true;
        }
    for (size_t j = 0; j < rule->nameCount; ++j)
        if (strcmp(rule->names[j].name, marker->name) == 0) {
            SetRuleReason(reason, L"markers: a name of names is also a marker's name, so Obscure could not tell them "
                                  L"apart");
            return true;
        }
    if (!MarkerNameIsValueText(rule, marker)) return false;
    SetRuleReason(reason, L"markers: a marker's name reads as a number, a flag name or none's text, so Obscure could "
                          L"not tell them apart: give it another name");
    return true;
}

static void CheckMarkers(RuleSection* section, RuleBook* book) {
    FieldRule* rule = &section->rule;
    if (!KeyRead(section, KeyMarkers) || rule->broken) {
        CheckKeyApplies(section, book, KeyMarkerCode, KeyRead(section, KeyMarkers), L"markers");
        return;
    }
    RuleReason reason;
    for (size_t i = 0; i < rule->markerCount; ++i) {
        FieldName* marker = &rule->markers[i];
        const bool negative = marker->negative;
        const unsigned long long magnitude = negative ? 0 - marker->key : marker->key;
        if (!NormalizeMarker(rule, marker)) {
            SetRuleReason(reason, L"markers: %ls0x%llX is no raw number of %ls (%u bits)", negative ? L"-" : L"",
                          magnitude, TypeName(rule), IsBcdType(rule->type) ? 64 : NumberBits(rule));
            return Report(section, book, KeyMarkers, reason);
        }
    }
    // after every marker is in its bits: 0x8000 and -32768 are the same marker on s16
    for (size_t i = 0; i < rule->markerCount; ++i)
        if (MarkerProblem(rule, i, reason)) return Report(section, book, KeyMarkers, reason);
    for (size_t i = 0; i < rule->markerCount; ++i) WarnDecimalBcdMarker(section, book, &rule->markers[i]);
}

static void CheckScaleExponent(RuleSection* section, RuleBook* book) {
    if (!KeyRead(section, KeyScaleExponent)) return;
    if (!KeyRead(section, KeyScaleExponentAt))
        return Report(section, book, KeyScaleExponent, L"scale_exponent is Obscure's default for scale_exponent_at: "
                                                       L"give scale_exponent_at too");
    AddRuleWarning(book, section->keyLines[KeyScaleExponent],
                   L"scale_exponent is only Obscure's guess: when the device changes its factor, Obscure sends a "
                   L"value wrong by a power of ten");
}

// The narrowest width of each token of a packed time: what its largest value needs.
static unsigned TokenMinimumBits(TimePart part) {
    switch (part) {
        case TimeYear4: return 14;  // 9999
        case TimeYear2: return 7;   // 99
        case TimeMonth: return 4;
        case TimeWeekday: return 3;
        case TimeMinute:
        case TimeSecond: return 6;
        default: return 5;  // days and hours
    }
}

static void CheckTimeBits(RuleSection* section, RuleBook* book) {
    FieldRule* rule = &section->rule;
    if (!KeyRead(section, KeyBits) || rule->type != FieldTime) return;
    if (section->keyLines[KeyEncoding])
        return Report(section, book, KeyEncoding, L"bits pack the tokens into one number: leave out encoding");
    rule->timeEncoding = TimePacked;
    size_t count = 0, total = 0;
    while (count < TimeLayoutMaxParts && rule->timeBits[count]) total += rule->timeBits[count++];
    RuleReason reason;
    if (count != rule->layoutCount) {
        SetRuleReason(reason, L"bits gives %u widths for %u layout tokens", (unsigned)count,
                      (unsigned)rule->layoutCount);
        return Report(section, book, KeyBits, reason);
    }
    if (total > 64) return Report(section, book, KeyBits, L"bits: the widths add up to more than 64 bits");
    for (size_t i = 0; i < count; ++i)
        if (rule->timeBits[i] < TokenMinimumBits(rule->layout[i])) {
            SetRuleReason(reason, L"bits: %u bits cannot hold every %ls (it needs %u)", rule->timeBits[i],
                          TimePartName(rule->layout[i]), TokenMinimumBits(rule->layout[i]));
            return Report(section, book, KeyBits, reason);
        }
}

// check-rules --frame decodes a section's field only with both start and count.
static void CheckFramePlace(const RuleSection* section, RuleBook* book) {
    const bool start = section->keyLines[KeyFrameStart] != 0, count = section->keyLines[KeyFrameCount] != 0;
    if (start == count) return;
    RuleReason reason;
    SetRuleReason(reason, L"%ls without %ls: check-rules --frame skips the section", start ? L"start" : L"count",
                  start ? L"count" : L"start");
    AddRuleWarning(book, section->keyLines[start ? KeyFrameStart : KeyFrameCount], reason);
}

void CheckRuleSection(RuleSection* section, RuleBook* book) {
    if (!section->keyLines[KeyType]) {
        section->rule.broken = true;
        RuleReason reason;
        SetRuleReason(reason, L"section [%ld] has no type: add a line such as 'type = u16'",
                      (long)section->rule.paramId);
        AddRuleProblem(book, section->rule.line, reason);
        return;
    }
    if (!KeyRead(section, KeyType)) return;  // its problem is reported already
    CheckTimeBits(section, book);
    CheckOrder(section, book);
    CheckMask(section, book);
    CheckNames(section, book);
    CheckRange(section, book);
    CheckKeysApply(section, book);
    CheckFlags(section, book);
    CheckHexFormat(section, book);
    CheckRoundTrip(section, book);
    CheckMarkers(section, book);
    CheckScaleExponent(section, book);
    CheckFramePlace(section, book);
}
