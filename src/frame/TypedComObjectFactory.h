#pragma once
// A factory whose class is described by a coclass of the server's type
// library: class name and description come from the coclass, and the
// registry entries add the library's version and identifier.

#include "frame/ComObjectFactory.h"

#include <oaidl.h>
#include <wrl/client.h>

class TTypedComObjectFactory : public TComObjectFactory {
public:
    // Raises when the server's type library cannot be loaded or has no
    // readable coclass for `classId`.
    TTypedComObjectFactory(TComServerObject& server, const TComObjectClass& objectClass, REFCLSID classId,
                           TClassInstancing instancing, TThreadingModel threadingModel);

    void UpdateRegistry(bool registering, TRegistryScope scope) override;

    // The coclass's type information.
    ITypeInfo& ClassInfo() const noexcept { return *FClassInfo.Get(); }

private:
    struct TCoclass {
        Microsoft::WRL::ComPtr<ITypeInfo> Info;
        std::string Name;
        std::string Description;
    };
    static TCoclass FindCoclass(TComServerObject& server, const TComObjectClass& objectClass, REFCLSID classId);

    TTypedComObjectFactory(TComServerObject& server, const TComObjectClass& objectClass, REFCLSID classId,
                           TClassInstancing instancing, TThreadingModel threadingModel, TCoclass coclass);

    Microsoft::WRL::ComPtr<ITypeInfo> FClassInfo;
};
