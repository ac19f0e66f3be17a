#pragma once
// Pointer arguments that an operation cannot do without: a missing one fails
// the operation with E_POINTER where it is needed. The parameter object is
// needed before anything else happens; an out-argument when the operation
// comes to write it, or before, when what the operation does first (asking
// the operator) could not be delivered without it.

#include "errors/OleErrors.h"

#include <string>

// Kept out of line, so that the check on every call stays a compare.
[[noreturn, gnu::noinline, gnu::cold]] inline void RaiseMissingArgument(const char* name) {
    throw EOleSysError(std::string("The ") + name + " argument is missing", E_POINTER);
}

template <typename T>
T& RequireArgument(T* pointer, const char* name) {
    if (!pointer) RaiseMissingArgument(name);
    return *pointer;
}
