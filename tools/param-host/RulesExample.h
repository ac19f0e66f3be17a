#pragma once
// One example field for a rule, explained and obscured by the rule code that
// FieldRules.dll runs.

#include "RulesReport.h"

#include "FieldRule.h"

// A named value, else the middle of the range, else a typical raw number,
// written into a field and read back.
RuleExample ExampleOfRule(const FieldRule& rule);
