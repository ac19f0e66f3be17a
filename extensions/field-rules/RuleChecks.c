// What the keys of one section say against each other: an order, mask or
// name that the type cannot hold, a range upside down.
#include "FieldDecode.h"
#include "RuleReason.h"
#include "RuleSection.h"

static const wchar_t* TypeName(const FieldRule* rule) { return FieldTypeInfoOf(rule->type)->name; }

// The key was given with a value that was read.
static bool KeyRead(const RuleSection* section, RuleKey key) {
    return section->keyLines[key] && !(section->failedKeys & 1u << key);
}

static void Report(RuleSection* section, RuleBook* book, RuleKey key, const wchar_t* reason) {
    section->rule.broken = true;
    AddRuleProblem(book, section->keyLines[key], reason);
}

static void CheckOrder(RuleSection* section, RuleBook* book) {
    const FieldRule* rule = &section->rule;
    const unsigned width = FieldTypeInfoOf(rule->type)->width;
    const bool fits = section->orderWidth == 2 ? width == 2 : width == 4 || width == 8;
    if (!KeyRead(section, KeyOrder) || fits) return;
    RuleReason reason;
    if (width == 2)
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
    const unsigned bits = IntegerBits(rule->type);
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
    const unsigned bits = NumberBits(rule);
    if (FieldTypeInfoOf(rule->type)->kind == KindUnsigned)
        return !name->negative && (bits == 64 || magnitude >> bits == 0);
    const uint64_t highestPositive = (UINT64_C(1) << (bits - 1)) - 1;
    return magnitude <= highestPositive + name->negative;
}

static void CheckNames(RuleSection* section, RuleBook* book) {
    const FieldRule* rule = &section->rule;
    if (!KeyRead(section, KeyNames)) return;
    RuleReason reason;
    if (FieldTypeInfoOf(rule->type)->kind == KindFloat) {
        SetRuleReason(reason, L"names apply to the integer types and bcd, not to %ls", TypeName(rule));
        return Report(section, book, KeyNames, reason);
    }
    for (size_t i = 0; i < rule->nameCount; ++i) {
        const FieldName* name = &rule->names[i];
        if (NameKeyFits(rule, name)) continue;
        const unsigned long long magnitude = name->negative ? 0 - name->key : name->key;
        if (rule->mask)
            SetRuleReason(reason, L"names: the value %ls%llu does not fit in the mask's %u bits (%ls)",
                          name->negative ? L"-" : L"", magnitude, NumberBits(rule), TypeName(rule));
        else
            SetRuleReason(reason, L"names: the value %ls%llu does not fit in %ls", name->negative ? L"-" : L"",
                          magnitude, TypeName(rule));
        return Report(section, book, KeyNames, reason);
    }
}

static void CheckRange(RuleSection* section, RuleBook* book) {
    const FieldRule* rule = &section->rule;
    if (!rule->hasMin || !rule->hasMax || rule->min <= rule->max) return;
    Report(section, book, KeyMax, L"max is below min: no value could be in range");
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
    CheckOrder(section, book);
    CheckMask(section, book);
    CheckNames(section, book);
    CheckRange(section, book);
}
