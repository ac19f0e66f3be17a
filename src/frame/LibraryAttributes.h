#pragma once
// A type library's attributes (identifier, version, locale, system kind),
// released with the library's ReleaseTLibAttr when the owner goes.

#include "util/TypeAttributes.h"

#include <oaidl.h>

// Raises when the library cannot give them.
UniqueLibraryAttributes ReadLibraryAttributes(ITypeLib& library);
