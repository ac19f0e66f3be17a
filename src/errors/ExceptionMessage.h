#pragma once
// The text that tells what went wrong, for the exception being handled.

#include <string>

// The message of the exception being handled (call it inside a catch block):
// an Exception's message, "Out of memory" for a failed allocation, what()
// of another standard exception, and an empty text for anything else.
std::string CurrentExceptionMessage() noexcept;
