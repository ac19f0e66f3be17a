#pragma once
// The two forms in which `param_host check` prints its report: readable text
// and JSON, both UTF-8.

#include "check/CheckReport.h"

#include <string>

std::string FormatCheckText(const CheckReport& report);
std::string FormatCheckJson(const CheckReport& report);
