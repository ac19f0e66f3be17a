#pragma once
// An extension call of --trace (ExtensionCallTrace.h) in the two forms of
// the program's output, UTF-8.

#include "run/ExtensionCallTrace.h"

#include <string>

// Indented lines for the text form's list of calls.
std::string ExtensionCallText(const ExtensionCallTrace& call);
// One JSON object.
std::string ExtensionCallJson(const ExtensionCallTrace& call);
