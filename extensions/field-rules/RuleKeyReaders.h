#pragma once
// The readers of the keys whose value is a list (names, flags, alarms, a
// time layout), and the conversions every key reader shares.

#include "NumberText.h"
#include "RuleSection.h"

// `text` as a whole number (decimal, or hex after 0x); false when it is not one.
bool ReadWholeKeyValue(const wchar_t* text, WholeNumber* number);

// A copy of `text` in the ANSI code page, in which every text reaches the
// host; false, with the reason, when a character has no form there or the
// text is too long.
bool AnsiCopyOf(const wchar_t* text, char** copy, const wchar_t* what, RuleReason reason);

bool ReadNames(const wchar_t* value, RuleSection* section, RuleReason reason);
bool ReadFlags(const wchar_t* value, RuleSection* section, RuleReason reason);
bool ReadAlarms(const wchar_t* value, RuleSection* section, RuleReason reason);
bool ReadLayout(const wchar_t* value, RuleSection* section, RuleReason reason);
bool ReadMarkers(const wchar_t* value, RuleSection* section, RuleReason reason);
bool ReadTimeBits(const wchar_t* value, RuleSection* section, RuleReason reason);
