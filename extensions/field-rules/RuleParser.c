#include "RuleParser.h"

#include "NumberText.h"
#include "RuleReason.h"
#include "RuleSection.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

typedef struct {
    RuleBook* book;
    int line;
    bool inSection;       // a section header was read, well-formed or not
    bool readingSection;  // the header was well-formed: keys go into `section`
    RuleSection section;
    FieldRule* earlier;  // the rule of an earlier section with the same id, or NULL
} Parser;

static bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\x3000' || c == L'\xFEFF'; }

// `text` without the blanks at both ends, in place.
static wchar_t* Trimmed(wchar_t* text) {
    while (IsBlank(*text)) ++text;
    size_t length = wcslen(text);
    while (length > 0 && IsBlank(text[length - 1])) text[--length] = L'\0';
    return text;
}

static void Problem(Parser* parser, const wchar_t* reason) { AddRuleProblem(parser->book, parser->line, reason); }

static void BreakSection(Parser* parser) {
    if (parser->readingSection) parser->section.rule.broken = true;
}

static FieldRule* RuleWithId(RuleBook* book, int32_t paramId) {
    for (size_t i = 0; i < book->ruleCount; ++i)
        if (book->rules[i].paramId == paramId) return &book->rules[i];
    return NULL;
}

static void FinishSection(Parser* parser) {
    if (!parser->readingSection) return;
    parser->readingSection = false;
    RuleSection* section = &parser->section;
    CheckRuleSection(section, parser->book);
    if (parser->earlier) {
        parser->earlier->broken = true;
        FreeFieldRule(&section->rule);
        return;
    }
    RuleBook* book = parser->book;
    FieldRule* rules = realloc(book->rules, (book->ruleCount + 1) * sizeof *rules);
    if (!rules) {
        FreeFieldRule(&section->rule);
        return Problem(parser, L"out of memory");
    }
    book->rules = rules;
    book->rules[book->ruleCount++] = section->rule;
}

static bool ReadParamId(wchar_t* text, int32_t* paramId) {
    char ascii[16];
    size_t i = 0;
    for (; text[i] && i + 1 < sizeof ascii; ++i) {
        if (text[i] > 0x7E) return false;
        ascii[i] = (char)text[i];
    }
    ascii[i] = '\0';
    WholeNumber number;
    if (text[i] || !ReadWholeNumber(ascii, &number)) return false;
    if (number.magnitude > (uint64_t)INT32_MAX + number.negative) return false;
    *paramId = number.negative ? (int32_t)(0 - number.magnitude) : (int32_t)number.magnitude;
    return true;
}

static void StartSection(Parser* parser, wchar_t* header) {
    FinishSection(parser);
    parser->inSection = true;
    RuleReason reason;
    SetRuleReason(reason, L"'%.40ls' is not a section: write the parameter id in brackets, such as [1]", header);
    const size_t length = wcslen(header);
    const bool bracketed = length >= 3 && header[length - 1] == L']';
    if (bracketed) header[length - 1] = L'\0';
    int32_t paramId = 0;
    if (!bracketed || !ReadParamId(Trimmed(header + 1), &paramId)) return Problem(parser, reason);
    memset(&parser->section, 0, sizeof parser->section);
    FieldRule* rule = &parser->section.rule;
    rule->paramId = paramId;
    rule->line = parser->line;
    rule->scale = 1;
    DecimalFromUnsigned(1, &rule->exactScale);
    rule->decimals = -1;
    rule->markerCode = 2;
    rule->scaleExponentAt = -1;
    rule->base = 10;
    parser->readingSection = true;
    parser->earlier = RuleWithId(parser->book, paramId);
    if (!parser->earlier) return;
    SetRuleReason(reason, L"section [%ld] is given again (first on line %d): both decline until one is removed",
                  (long)paramId, parser->earlier->line);
    Problem(parser, reason);
}

// start, count and hex place a field in a frame for check-rules only:
// FieldRules.dll ignores them, so a problem with them leaves the rule working.
static bool IsCheckOnlyKey(RuleKey key) { return key == KeyFrameStart || key == KeyFrameCount || key == KeyFrameHex; }

static void ReadKey(Parser* parser, const wchar_t* name, const wchar_t* value) {
    RuleSection* section = &parser->section;
    RuleKey key;
    RuleReason reason;
    const bool known = RuleKeyNamed(name, &key);
    if (!known) {
        SetRuleReason(reason, L"unknown key '%.40ls': the keys are %ls", name, RuleKeyNameList());
    } else if (section->keyLines[key]) {
        SetRuleReason(reason, L"%ls is given twice in section [%ld] (first on line %d)", RuleKeyName(key),
                      (long)section->rule.paramId, section->keyLines[key]);
    } else if (!*value) {
        section->keyLines[key] = parser->line;
        section->failedKeys |= 1u << key;
        SetRuleReason(reason, L"%ls has no value", RuleKeyName(key));
    } else {
        section->keyLines[key] = parser->line;
        if (ReadRuleKey(key, value, section, reason)) return;
        section->failedKeys |= 1u << key;
    }
    if (!known || !IsCheckOnlyKey(key)) BreakSection(parser);
    Problem(parser, reason);
}

static void ReadKeyLine(Parser* parser, wchar_t* line) {
    wchar_t* equals = wcschr(line, L'=');
    RuleReason reason;
    if (!equals) {
        SetRuleReason(reason, L"'%.40ls' is neither 'key = value' nor a section such as [1]", line);
        BreakSection(parser);
        return Problem(parser, reason);
    }
    *equals = L'\0';
    const wchar_t* name = Trimmed(line);
    if (!parser->inSection) {
        SetRuleReason(reason, L"'%.40ls' comes before any section: put it under its parameter's [id]", name);
        return Problem(parser, reason);
    }
    if (parser->readingSection) ReadKey(parser, name, Trimmed(equals + 1));
}

// One line: a comment runs from ';' to the end of the line, or fills a line starting with '#'.
static void ReadLine(Parser* parser, wchar_t* line) {
    wchar_t* comment = wcschr(line, L';');
    if (comment) *comment = L'\0';
    line = Trimmed(line);
    if (!*line || *line == L'#') return;
    if (*line == L'[')
        StartSection(parser, line);
    else
        ReadKeyLine(parser, line);
}

void ParseRuleText(const wchar_t* text, size_t length, RuleBook* book) {
    Parser parser;
    memset(&parser, 0, sizeof parser);
    parser.book = book;
    wchar_t line[RuleLineMaxLength + 1];
    for (size_t start = 0; start < length;) {
        const wchar_t* end = wmemchr(text + start, L'\n', length - start);
        const size_t lineLength = end ? (size_t)(end - text) - start : length - start;
        ++parser.line;
        if (lineLength > RuleLineMaxLength) {
            BreakSection(&parser);
            RuleReason reason;
            SetRuleReason(reason, L"the line is longer than %d characters", RuleLineMaxLength);
            Problem(&parser, reason);
        } else {
            wmemcpy(line, text + start, lineLength);
            line[lineLength] = L'\0';
            ReadLine(&parser, line);
        }
        start += lineLength + 1;
    }
    FinishSection(&parser);
    SortRuleBook(book);
    if (!parser.inSection) {
        parser.line = 1;
        Problem(&parser, L"no section: write one section per parameter, such as [1] followed by 'type = u16'");
    }
}
