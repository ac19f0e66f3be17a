#pragma once
// Why a rule declines to explain a field, in the words check-rules uses:
// the same decoding FieldRules.dll runs, asked to say why. For param_host
// only; the library itself never computes a reason.

#include "FieldRule.h"

#ifdef __cplusplus
extern "C" {
#endif

// False when the rule explains the field; else true with the reason
// (RuleReasonSize characters).
bool WhyFieldDeclines(const FieldRule* rule, const uint8_t* field, size_t length, wchar_t* reason);

#ifdef __cplusplus
}
#endif
