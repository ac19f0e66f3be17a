#pragma once
// check-rules --frame: every section that says where its field is in a
// frame (start and count, hex = yes for a hex-encoded parameter) decoded
// against the user's own frame, as FieldRules.dll would explain it.

#include "rules/RulesReport.h"

#include "FieldRule.h"

#include <vector>

std::vector<FrameFieldReport> DecodeFrameFields(const RuleBook& book, const std::vector<uint8_t>& frame);
