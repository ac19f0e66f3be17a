#pragma once
// Writes the reason of a problem found in a rules file.

#include "RuleSection.h"

// The reason, written like swprintf and cut to fit (always terminated).
void SetRuleReason(RuleReason reason, const wchar_t* format, ...);

// Writes the reason into `reason` (RuleReasonSize characters) unless it is
// NULL, and returns false: for the decoders, which say why only when asked.
bool Decline(wchar_t* reason, const wchar_t* format, ...);
