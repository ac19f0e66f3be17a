#include "fakes/FakeDispatch.h"

#include "fakes/Fault.h"

HRESULT FakeDispatch::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ? this : nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG FakeDispatch::Release() {
    const ULONG left = --FReferences;
    if (FaultOnRelease) WriteThroughNullPointer();
    return left;
}

HRESULT FakeDispatch::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT FakeDispatch::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                             UINT*) {
    if (member != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    ++FRequests;
    switch (FAnswer) {
    case Answer::Number:
        V_VT(result) = VT_I4;
        V_I4(result) = FNumber;
        return S_OK;
    case Answer::Failure:
        return E_FAIL;
    case Answer::Fault:
        WriteThroughNullPointer();
        return E_UNEXPECTED;
    case Answer::Itself:
        AddRef();  // the caller's reference
        V_VT(result) = VT_DISPATCH;
        V_DISPATCH(result) = this;
        return S_OK;
    case Answer::Other:
        FOther->AddRef();
        V_VT(result) = VT_DISPATCH;
        V_DISPATCH(result) = FOther;
        return S_OK;
    }
    return E_UNEXPECTED;
}
