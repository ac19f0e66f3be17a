#pragma once
// Reads a rules file into a rule book: one section per parameter id, and a
// problem, with its line, for everything that is wrong. A section with a
// problem stays in the book marked broken, so that its parameter declines.

#include "FieldRule.h"
#include "RuleFile.h"

#ifdef __cplusplus
extern "C" {
#endif

// Reads the rules of `text` into `book`, which is empty before.
void ParseRuleText(const wchar_t* text, size_t length, RuleBook* book);

// Reads the rules file at `path` into `book`, which is empty before. A file
// that is no text gives one problem; a missing or too large one leaves the
// book empty.
RuleFileStatus LoadRuleBook(const wchar_t* path, RuleBook* book);

#ifdef __cplusplus
}
#endif
