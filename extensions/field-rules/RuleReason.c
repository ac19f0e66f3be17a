#include "RuleReason.h"

#include <stdarg.h>
#include <stdio.h>

void SetRuleReason(RuleReason reason, const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    _vsnwprintf(reason, RuleReasonSize - 1, format, arguments);
    va_end(arguments);
    reason[RuleReasonSize - 1] = L'\0';
}
