// The rule book: finding a rule, keeping problems in line order, loading a
// file, giving everything back.
#include "RuleParser.h"
#include "RuleSection.h"

#include <stdlib.h>
#include <string.h>

static int CompareParamIds(const void* left, const void* right) {
    const int32_t a = ((const FieldRule*)left)->paramId, b = ((const FieldRule*)right)->paramId;
    return (a > b) - (a < b);
}

const FieldRule* FindFieldRule(const RuleBook* book, int32_t paramId) {
    const FieldRule key = {.paramId = paramId};
    return book->ruleCount ? bsearch(&key, book->rules, book->ruleCount, sizeof key, CompareParamIds) : NULL;
}

void SortRuleBook(RuleBook* book) {
    if (book->ruleCount > 1) qsort(book->rules, book->ruleCount, sizeof *book->rules, CompareParamIds);
}

static void InsertByLine(RuleProblem** list, size_t* count, int line, const wchar_t* reason) {
    RuleProblem* problems = realloc(*list, (*count + 1) * sizeof *problems);
    if (!problems) return;  // the section is marked broken all the same
    *list = problems;
    size_t at = (*count)++;
    for (; at > 0 && problems[at - 1].line > line; --at) problems[at] = problems[at - 1];
    problems[at].line = line;
    wcsncpy(problems[at].reason, reason, RuleReasonSize - 1);
    problems[at].reason[RuleReasonSize - 1] = L'\0';
}

void AddRuleProblem(RuleBook* book, int line, const wchar_t* reason) {
    InsertByLine(&book->problems, &book->problemCount, line, reason);
}

void AddRuleWarning(RuleBook* book, int line, const wchar_t* reason) {
    InsertByLine(&book->warnings, &book->warningCount, line, reason);
}

static void FreeNames(FieldName* names, size_t count) {
    for (size_t i = 0; i < count; ++i) free(names[i].name);
    free(names);
}

void FreeFieldRule(FieldRule* rule) {
    FreeNames(rule->names, rule->nameCount);
    FreeNames(rule->flags, rule->flagCount);
    FreeNames(rule->markers, rule->markerCount);
    free(rule->unit);
    free(rule->separator);
    free(rule->none);
    memset(rule, 0, sizeof *rule);
}

void FreeRuleBook(RuleBook* book) {
    for (size_t i = 0; i < book->ruleCount; ++i) FreeFieldRule(&book->rules[i]);
    free(book->rules);
    free(book->problems);
    free(book->warnings);
    memset(book, 0, sizeof *book);
}

static void AddUndecodableProblem(RuleBook* book, const RuleText* text) {
    if (text->badLine)
        AddRuleProblem(book, text->badLine,
                       L"bytes that are neither UTF-8 nor text in the ANSI code page: save the file as UTF-8");
    else
        AddRuleProblem(book, 1, L"the file is no text this extension reads: save it as UTF-8, UTF-16 LE or ANSI");
}

RuleFileStatus LoadRuleBook(const wchar_t* path, RuleBook* book) {
    RuleText text;
    const RuleFileStatus status = ReadRuleText(path, &text);
    if (status == RuleFileRead) {
        book->encoding = text.encoding;
        ParseRuleText(text.text, text.length, book);
    }
    if (status == RuleFileUndecodable) AddUndecodableProblem(book, &text);
    FreeRuleText(&text);
    return status;
}
