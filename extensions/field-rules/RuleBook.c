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

void AddRuleProblem(RuleBook* book, int line, const wchar_t* reason) {
    RuleProblem* problems = realloc(book->problems, (book->problemCount + 1) * sizeof *problems);
    if (!problems) return;  // the section is marked broken all the same
    book->problems = problems;
    size_t at = book->problemCount++;
    for (; at > 0 && problems[at - 1].line > line; --at) problems[at] = problems[at - 1];
    problems[at].line = line;
    wcsncpy(problems[at].reason, reason, RuleReasonSize - 1);
    problems[at].reason[RuleReasonSize - 1] = L'\0';
}

void FreeFieldRule(FieldRule* rule) {
    for (size_t i = 0; i < rule->nameCount; ++i) free(rule->names[i].name);
    free(rule->names);
    free(rule->unit);
    memset(rule, 0, sizeof *rule);
}

void FreeRuleBook(RuleBook* book) {
    for (size_t i = 0; i < book->ruleCount; ++i) FreeFieldRule(&book->rules[i]);
    free(book->rules);
    free(book->problems);
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
