#pragma once
// Reads a rules file into UTF-16 text. A file starting with a byte order
// mark is UTF-8 or UTF-16 LE as the mark says; one without is UTF-8 when its
// bytes are well-formed UTF-8 (Notepad's default today), else text in the
// ANSI code page (GBK on Chinese systems), which the platform converts.

#include "FieldRule.h"

#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum { RuleFileRead, RuleFileMissing, RuleFileTooLarge, RuleFileUndecodable } RuleFileStatus;

typedef struct {
    wchar_t* text;  // not terminated; NULL for an empty file
    size_t length;
    RuleEncoding encoding;
    int badLine;  // RuleFileUndecodable: the first line whose bytes are no text (0: the whole file)
} RuleText;

enum { RuleFileMaxBytes = 16 * 1024 * 1024 };

RuleFileStatus ReadRuleText(const wchar_t* path, RuleText* text);
void FreeRuleText(RuleText* text);

// "UTF-8", "UTF-8 with BOM", "UTF-16 LE", "ANSI code page"; NULL for none.
const wchar_t* RuleEncodingName(RuleEncoding encoding);

#ifdef __cplusplus
}
#endif
