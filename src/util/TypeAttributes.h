#pragma once
// Sole owners of the attributes that type information and type libraries
// lend out (GetTypeAttr, GetLibAttr): given back to whoever lent them.

#include "util/UniqueHandle.h"

#include <oaidl.h>

struct TypeAttributesTraits {
    ITypeInfo* info;
    void Destroy(TYPEATTR* attributes) const noexcept { info->ReleaseTypeAttr(attributes); }
};
struct LibraryAttributesTraits {
    ITypeLib* library;
    void Destroy(TLIBATTR* attributes) const noexcept { library->ReleaseTLibAttr(attributes); }
};

using UniqueTypeAttributes = UniqueHandle<TYPEATTR*, TypeAttributesTraits>;
using UniqueLibraryAttributes = UniqueHandle<TLIBATTR*, LibraryAttributesTraits>;
