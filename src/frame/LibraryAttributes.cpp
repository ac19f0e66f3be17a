#include "frame/LibraryAttributes.h"

#include "errors/HostResult.h"

UniqueLibraryAttributes ReadLibraryAttributes(ITypeLib& library) {
    TLIBATTR* attributes = nullptr;
    CheckPlatformResult(library.GetLibAttr(&attributes));
    return UniqueLibraryAttributes(attributes, {&library});
}
