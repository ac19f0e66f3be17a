#pragma once
// The section of a rules file being read: its rule so far and where each of
// its keys was given. Shared by the parser, the readers of the keys and the
// checks across keys.

#include "FieldRule.h"

typedef enum {
    KeyType, KeyOrder, KeyScale, KeyOffset, KeyDecimals, KeyUnit, KeyMin, KeyMax, KeyNames, KeyMask, KeyDigits,
    KeyBias, KeyLayout, KeyEncoding, KeyFlags, KeySeparator, KeyNone, KeyAlarms, KeyFormat,
    KeyMarkers, KeyMarkerCode, KeyScaleExponentAt, KeyScaleExponent, KeyBase, KeyBits, KeyFrameStart, KeyFrameCount,
    KeyFrameHex,
    KeyCount
} RuleKey;

typedef struct {
    FieldRule rule;
    int keyLines[KeyCount];  // 0 for a key not given
    unsigned failedKeys;     // a bit (1 << key) for each key whose value was wrong
    unsigned orderWidth;     // bytes the order's letters name
} RuleSection;

typedef wchar_t RuleReason[RuleReasonSize];

enum { RuleLineMaxLength = 1023 };  // characters of one line of a rules file

// The key called `name` (case-insensitive); false for none.
bool RuleKeyNamed(const wchar_t* name, RuleKey* key);
const wchar_t* RuleKeyName(RuleKey key);
const wchar_t* RuleKeyNameList(void);

// Reads `value` (trimmed, not empty) as the value of `key` into the section;
// false, with the reason, when it is wrong.
bool ReadRuleKey(RuleKey key, const wchar_t* value, RuleSection* section, RuleReason reason);

// After the section's last line: reports what the keys say against each
// other, each problem at the line of the key concerned.
void CheckRuleSection(RuleSection* section, RuleBook* book);

// Appends a problem, keeping the book's problems in the order of their lines.
void AddRuleProblem(RuleBook* book, int line, const wchar_t* reason);

// Appends a warning, which leaves the section working, in the order of lines.
void AddRuleWarning(RuleBook* book, int line, const wchar_t* reason);

// Orders the book's rules by parameter id, for FindFieldRule.
void SortRuleBook(RuleBook* book);

// Frees what a rule holds.
void FreeFieldRule(FieldRule* rule);
