#pragma once
// How a failed object creation is shown: the class object cannot return the
// error's text to its caller, so the operator sees it in a message box.

#include <string>

// The message, closed with "." unless it ends in "." or a character below
// it, in a "DAX Error" box (no owner window).
void ShowCreationErrorBox(std::string message) noexcept;

// The closing rule on its own: appends "." when the last character (a
// double-byte character of the system code page counts as one) compares
// greater than "." byte by byte.
std::string WithClosingPeriod(std::string message);
