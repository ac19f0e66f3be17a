#pragma once
// check-rules' report as readable text or as one JSON object, both UTF-8.

#include "rules/RulesReport.h"

#include <string>

std::string FormatRulesText(const RulesReport& report);
std::string FormatRulesJson(const RulesReport& report);
