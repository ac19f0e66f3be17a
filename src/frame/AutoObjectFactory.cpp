#include "frame/AutoObjectFactory.h"

#include "errors/HostResult.h"
#include "errors/OleErrors.h"
#include "util/TypeAttributes.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int DefaultInterface = IMPLTYPEFLAG_FDEFAULT;
constexpr int DefaultSourceInterface = IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;

// Raises when the type information cannot give them.
UniqueTypeAttributes ReadTypeAttributes(ITypeInfo& info) {
    TYPEATTR* attributes = nullptr;
    CheckPlatformResult(info.GetTypeAttr(&attributes));
    return UniqueTypeAttributes(attributes, {&info});
}

// The type information of the first interface the coclass implements whose
// flags, masked to default and source, equal `wanted`; null when none does.
// Resolving a reference into another library loads that library.
ComPtr<ITypeInfo> ImplementedInterface(ITypeInfo& coclass, int wanted) {
    const WORD count = ReadTypeAttributes(coclass)->cImplTypes;
    for (UINT index = 0; index < count; ++index) {
        INT flags = 0;
        CheckPlatformResult(coclass.GetImplTypeFlags(index, &flags));
        if ((flags & DefaultSourceInterface) != wanted) continue;
        HREFTYPE reference = 0;
        CheckPlatformResult(coclass.GetRefTypeOfImplType(index, &reference));
        ComPtr<ITypeInfo> info;
        CheckPlatformResult(coclass.GetRefTypeInfo(reference, &info));
        return info;
    }
    return nullptr;
}

IID InterfaceId(ITypeInfo& info) { return ReadTypeAttributes(info)->guid; }

}  // namespace

TAutoObjectFactory::TAutoObjectFactory(TComServerObject& server, const TComObjectClass& objectClass,
                                       REFCLSID classId, TClassInstancing instancing,
                                       TThreadingModel threadingModel)
    : TTypedComObjectFactory(server, objectClass, classId, instancing, threadingModel) {
    FDispTypeInfo = ImplementedInterface(ClassInfo(), DefaultInterface);
    if (!FDispTypeInfo) throw EOleError(std::string("Incorrect type information for class ") + objectClass.Name);
    const IID dispatchIid = InterfaceId(*FDispTypeInfo.Get());
    FDispIntfEntry = GetIntfEntry(dispatchIid);
    if (!FDispIntfEntry) throw EOleError(std::string("Dispatch interface missing from class ") + objectClass.Name);
    SetErrorIID(dispatchIid);
    if ((FEventTypeInfo = ImplementedInterface(ClassInfo(), DefaultSourceInterface)))
        FEventIID = InterfaceId(*FEventTypeInfo.Get());
}

const TInterfaceEntry* TAutoObjectFactory::GetIntfEntry(REFIID iid) const {
    return FindInterfaceEntry(*ComClass().Interfaces, iid);
}
