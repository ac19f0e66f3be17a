#pragma once
// The factory of an automation class: besides the coclass it resolves the
// coclass's default interface (in this component a reference into the host's
// type library), from whose type information the objects serve IDispatch.

#include "frame/TypedComObjectFactory.h"

class TAutoObjectFactory : public TTypedComObjectFactory {
public:
    // Raises when the coclass has no default interface or the object class
    // does not implement it.
    TAutoObjectFactory(TComServerObject& server, const TComObjectClass& objectClass, REFCLSID classId,
                       TClassInstancing instancing, TThreadingModel threadingModel);

    // The object class's interface-table entry for `iid`, or null.
    virtual const TInterfaceEntry* GetIntfEntry(REFIID iid) const;

    ITypeInfo& DispTypeInfo() const noexcept { return *FDispTypeInfo.Get(); }
    const TInterfaceEntry& DispIntfEntry() const noexcept { return *FDispIntfEntry; }
    const IID& EventIID() const noexcept { return FEventIID; }
    ITypeInfo* EventTypeInfo() const noexcept { return FEventTypeInfo.Get(); }

private:
    Microsoft::WRL::ComPtr<ITypeInfo> FDispTypeInfo;
    const TInterfaceEntry* FDispIntfEntry = nullptr;
    IID FEventIID = GUID_NULL;
    Microsoft::WRL::ComPtr<ITypeInfo> FEventTypeInfo;
};
