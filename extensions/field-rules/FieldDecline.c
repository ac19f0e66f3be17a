#include "FieldDecline.h"

#include "FieldExplain.h"
#include "RuleReason.h"

#include <stdlib.h>

enum { ExplainTextSize = 4096 };  // the host's out-buffers

bool WhyFieldDeclines(const FieldRule* rule, const uint8_t* field, size_t length, wchar_t* reason) {
    FieldValue value;
    if (!DecodeFieldOrSayWhy(rule, field, length, &value, reason)) return true;
    char* texts = malloc(2 * ExplainTextSize);
    if (!texts) return !Decline(reason, L"out of memory");
    uint16_t code;
    const bool explained = ExplainField(rule, &value, texts, texts + ExplainTextSize, ExplainTextSize, &code);
    free(texts);
    return !explained && !Decline(reason, L"the value does not fit the exact arithmetic (38 digits)");
}
