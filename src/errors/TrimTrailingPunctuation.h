#pragma once
// Drops the blanks, control characters and periods that end a message, so
// that error texts read the same whichever component produced them.

#include <string>
#include <string_view>

// Removes trailing characters whose code is 32 or below or which are ".".
// Characters are found with the system ANSI code page's rules: a double-byte
// character counts as one and, its lead byte being above 32, is never removed
// (even when its second byte looks like a period or a blank).
std::string TrimTrailingPunctuation(std::string_view text);
