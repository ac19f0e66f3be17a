#include "RuleReason.h"

#include <stdarg.h>
#include <stdio.h>

static void WriteReason(wchar_t* reason, const wchar_t* format, va_list arguments) {
    _vsnwprintf(reason, RuleReasonSize - 1, format, arguments);
    reason[RuleReasonSize - 1] = L'\0';
}

void SetRuleReason(RuleReason reason, const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    WriteReason(reason, format, arguments);
    va_end(arguments);
}

bool Decline(wchar_t* reason, const wchar_t* format, ...) {
    if (!reason) return false;
    va_list arguments;
    va_start(arguments, format);
    WriteReason(reason, format, arguments);
    va_end(arguments);
    return false;
}
