#pragma once
// An extension call of --trace (ExtensionCallTrace.h) in the two forms of
// the program's output, UTF-8.

#include "common/JsonOutput.h"
#include "run/ExtensionCallTrace.h"

#include <string>

// Indented lines for the text form's list of calls.
std::string ExtensionCallText(const ExtensionCallTrace& call);
// One JSON object.
ordered_json ExtensionCallJson(const ExtensionCallTrace& call);
