#pragma once
// Pointer arguments that an operation cannot do without: a missing one fails
// the operation with E_POINTER before anything else happens.

#include "errors/OleErrors.h"

#include <string>

template <typename T>
T& RequireArgument(T* pointer, const char* name) {
    if (!pointer) throw EOleSysError(std::string("The ") + name + " argument is missing", E_POINTER);
    return *pointer;
}
