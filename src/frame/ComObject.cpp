#include "frame/ComObject.h"

#include "frame/ComObjectFactory.h"
#include "frame/ServerModule.h"
#include "frame/TypedComObjectFactory.h"

namespace {

const TInterfaceEntry ComObjectInterfaces[] = {
    {&IID_ISupportErrorInfo, [](TComObject& object) -> IUnknown* { return static_cast<ISupportErrorInfo*>(&object); }},
    {&IID_IUnknown, [](TComObject& object) { return object.NonDelegatingUnknown(); }},
};

const TInterfaceEntry TypedComObjectInterfaces[] = {
    {&IID_IProvideClassInfo,
     [](TComObject& object) -> IUnknown* {
         return static_cast<IProvideClassInfo*>(&static_cast<TTypedComObject&>(object));
     }},
};

}  // namespace

const TInterfaceTable TComObject::InterfaceTable{nullptr, ComObjectInterfaces};
const TInterfaceTable TTypedComObject::InterfaceTable{&TComObject::InterfaceTable, TypedComObjectInterfaces};

void TComObject::Construct(TComObjectFactory& factory, IUnknown* outer) {
    FRefCount = 1;
    FFactory = &factory;
    FController = outer;
    factory.ComServer().ChangeObjectCount(TCountChange::Up);
    // Back to 0 when done, also when Initialize raises: the creator's query
    // takes the first real reference, or the creator destroys the object.
    struct SettleReferenceCount {
        std::atomic<LONG>& Count;
        ~SettleReferenceCount() { --Count; }
    } settle{FRefCount};
    Initialize();
}

TComObject::~TComObject() {
    if (ModuleTerminated() || !FFactory) return;
    FFactory->ComServer().ChangeObjectCount(TCountChange::Down);
    if (FRefCount > 0) CoDisconnectObject(NonDelegatingUnknown(), 0);
}

HRESULT TComObject::QueryInterface(REFIID iid, void** object) {
    return FController ? FController->QueryInterface(iid, object) : ObjQueryInterface(iid, object);
}

ULONG TComObject::AddRef() { return FController ? FController->AddRef() : ObjAddRef(); }

ULONG TComObject::Release() { return FController ? FController->Release() : ObjRelease(); }

HRESULT TComObject::InterfaceSupportsErrorInfo(REFIID iid) {
    return FindInterfaceEntry(Interfaces(), iid) ? S_OK : S_FALSE;
}

ULONG TComObject::ObjAddRef() { return ++FRefCount; }

HRESULT TComObject::ObjQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    const TInterfaceEntry* entry = FindInterfaceEntry(Interfaces(), iid);
    if (!entry) return E_NOINTERFACE;
    IUnknown* found = entry->Locate(*this);
    found->AddRef();  // the reference the caller receives, taken through the interface itself
    *object = found;
    return S_OK;
}

ULONG TComObject::ObjRelease() {
    const LONG count = --FRefCount;
    if (count == 0) Destroy();
    return count;
}

HRESULT TTypedComObject::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    ITypeInfo& classInfo = static_cast<TTypedComObjectFactory&>(Factory()).ClassInfo();
    classInfo.AddRef();  // the caller's reference
    *info = &classInfo;
    return S_OK;
}
