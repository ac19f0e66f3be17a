#pragma once
// Where param_host's texts go. They are made as UTF-8; a console is given
// them as UTF-16 through its wide-character output, so that Chinese texts
// and signs such as µ show as they are whatever the console's code page
// (936 on the operators' stations); a file or pipe gets the UTF-8 bytes.

#include <cstdio>
#include <string>

// Writes `utf8` to `stream` (stdout or stderr) and flushes it.
void WriteOutput(FILE* stream, const std::string& utf8);
