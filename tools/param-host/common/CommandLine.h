#pragma once
// Reads the program's arguments into a request. Every mistake (an unknown
// option, an option of another operation, a bad number, odd hex, a missing
// frame file) raises a HostFailure with a message that names the argument.

#include "common/HostRequest.h"

#include <string>
#include <string_view>
#include <vector>

struct CommandLine {
    bool help = false;
    bool version = false;  // --version (with --json when given)
    HostRequest request;
};

// The arguments after the program name.
CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments);

// The value of a numeric option: a 32-bit whole number, decimal or
// 0x-prefixed hex; raises a HostFailure naming `option` otherwise.
LONG ParseNumberOption(const std::wstring& option, const std::wstring& text);

// Hex digits, two per byte, blanks allowed between them ("33 34 31 32").
std::vector<uint8_t> ParseHexBytes(std::wstring_view text);
