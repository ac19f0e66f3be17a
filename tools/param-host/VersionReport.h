#pragma once
// param_host --version: the program's own version and the version of the
// component that COM would load (the registered OvixParamTransactor.dll),
// both read from the files' version resources, so that an operator sees
// which build a station runs.

#include <string>

// Text lines, or one JSON object when `json` is set; UTF-8.
std::string VersionReport(bool json);
