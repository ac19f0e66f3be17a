#include "registration/LibraryAttributes.h"

#include "server/HostResult.h"

UniqueLibraryAttributes ReadLibraryAttributes(ITypeLib& library) {
    TLIBATTR* attributes = nullptr;
    CheckPlatformResult(library.GetLibAttr(&attributes));
    return {attributes, LibraryAttributesRelease{&library}};
}
