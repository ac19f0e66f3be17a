#pragma once
// Writes the reason of a problem found in a rules file.

#include "RuleSection.h"

// The reason, written like swprintf and cut to fit (always terminated).
void SetRuleReason(RuleReason reason, const wchar_t* format, ...);
