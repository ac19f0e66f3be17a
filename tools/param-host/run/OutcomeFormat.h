#pragma once
// The two forms in which explain, obscure and edit print an outcome:
// readable text and JSON, both UTF-8.

#include "run/Outcome.h"

#include <string>

std::string FormatText(const Outcome& outcome, bool withCalls);
std::string FormatJson(const Outcome& outcome, bool withCalls);
