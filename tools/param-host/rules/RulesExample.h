#pragma once
// One example field for a rule, explained and obscured by the rule code that
// FieldRules.dll runs.

#include "rules/RulesReport.h"

#include "FieldRule.h"

// A named value, else the middle of the range, else a typical raw number,
// written into a field and read back.
RuleExample ExampleOfRule(const FieldRule& rule);

// What the host shows for a field by the rule: texts in the ANSI code page.
struct ExplainedField {
    std::string valueText, displayText;
    uint16_t explainCode = 0;
};

// Nothing when the rule declines the field.
std::optional<ExplainedField> ExplainRuleField(const FieldRule& rule, const std::vector<uint8_t>& field);
