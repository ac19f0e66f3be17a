#pragma once
// A type library's attributes (identifier, version, locale, system kind),
// released with the library's ReleaseTLibAttr when the owner goes.

#include <oaidl.h>

#include <memory>

struct LibraryAttributesRelease {
    ITypeLib* Library;
    void operator()(TLIBATTR* attributes) const noexcept { Library->ReleaseTLibAttr(attributes); }
};
using UniqueLibraryAttributes = std::unique_ptr<TLIBATTR, LibraryAttributesRelease>;

// Raises when the library cannot give them.
UniqueLibraryAttributes ReadLibraryAttributes(ITypeLib& library);
