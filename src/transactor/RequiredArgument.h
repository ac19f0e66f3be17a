#pragma once
// Pointer arguments that an operation cannot do without: a missing one fails
// the operation with E_POINTER where it is needed. The parameter object is
// needed before anything else happens; an out-argument only when the
// operation comes to write it, so a call that writes nothing through a null
// out-argument runs as with any other.

#include "server/OleErrors.h"

#include <string>

template <typename T>
T& RequireArgument(T* pointer, const char* name) {
    if (!pointer) throw EOleSysError(std::string("The ") + name + " argument is missing", E_POINTER);
    return *pointer;
}
