#include "frame/ComObjectFactory.h"

#include "errors/ExceptionMessage.h"
#include "frame/ComClassManager.h"
#include "frame/ComObject.h"
#include "frame/CreationErrorBox.h"

TComObjectFactory::TComObjectFactory(TComServerObject& server, const TComObjectClass& objectClass, REFCLSID classId,
                                     std::string className, std::string description, TClassInstancing instancing,
                                     TThreadingModel threadingModel)
    : FComServer(server),
      FComClass(objectClass),
      FClassID(classId),
      FClassName(std::move(className)),
      FDescription(std::move(description)),
      FInstancing(instancing),
      FThreadingModel(threadingModel) {
    ComClassManager().AddObjectFactory(*this);
}

TComObjectFactory::~TComObjectFactory() {
    if (FRegister != -1) CoRevokeClassObject(static_cast<DWORD>(FRegister));
    ComClassManager().RemoveObjectFactory(*this);
}

HRESULT TComObjectFactory::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TComObjectFactory::AddRef() { return FComServer.ChangeClassObjectCount(TCountChange::Up); }

ULONG TComObjectFactory::Release() { return FComServer.ChangeClassObjectCount(TCountChange::Down); }

HRESULT TComObjectFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer && !IsEqualGUID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    UniqueComObject created;
    try {
        created.Reset(CreateComObject(outer));
    } catch (...) {
        if (FShowErrors) ShowCreationErrorBox(CurrentExceptionMessage());
        return E_UNEXPECTED;
    }
    const HRESULT result = created->ObjQueryInterface(iid, object);
    if (created->RefCount() > 0) created.Release();  // kept by the caller's reference; else the query failed
    return result;
}

HRESULT TComObjectFactory::LockServer(BOOL lock) {
    const HRESULT result = CoLockObjectExternal(static_cast<IClassFactory*>(this), lock, TRUE);
    FComServer.ChangeObjectCount(lock ? TCountChange::Up : TCountChange::Down);
    return result;
}

std::string TComObjectFactory::ProgID() {
    if (FClassName.empty()) return {};
    return FComServer.LibraryName() + "." + FClassName;
}

TComObject* TComObjectFactory::CreateComObject(IUnknown* outer) {
    // An object whose construction raises is destroyed again, which takes
    // it out of the live-object count.
    UniqueComObject object(FComClass.Allocate());
    object->Construct(*this, outer);
    return object.Release();
}
