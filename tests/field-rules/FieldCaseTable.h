#pragma once
// A table of field rules, each with a field, what Explain must show for it
// and what Obscure must send back for that value text, run through the
// component with one rules library holding a section per row.

#include <string>

#include <windows.h>

struct FieldCase {
    const char* name;
    const char* rule;    // the keys of the parameter's section
    std::string field;   // the frame, which is the field
    bool hexEncoded;     // the field holds hex digit characters
    const char* value;   // nullptr: the parameter declines
    const char* display;
    USHORT code;
    const char* digits;  // what Obscure sends for the value text; nullptr: not checked
};

constexpr bool Hex = true, Plain = false;

// Writes one section per row (parameter ids 1, 2, ...), explains each row's
// field and obscures the value text shown, checking every result.
void ExpectFieldCases(const wchar_t* libraryName, const FieldCase* cases, size_t count);
