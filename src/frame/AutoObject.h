#pragma once
// An automation object serving the dual interface `DualInterface`: its
// IDispatch (slots 3 to 6 of the dual interface) is served from the type
// information of the class's default interface, which the automation factory
// resolved at start-up. Malformed calls are refused before they reach it: an
// interface identifier other than IID_NULL gives DISP_E_UNKNOWNINTERFACE, a
// null out array of identifiers or parameter block E_POINTER, and a null
// name array, a null name, an argument array that is null while its count
// is not 0, or more named arguments than arguments, E_INVALIDARG.

#include "frame/AutoObjectFactory.h"
#include "frame/ComObject.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <algorithm>

template <typename DualInterface>
class TAutoObject : public TTypedComObject, public DualInterface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return TComObject::QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return TComObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return TComObject::Release(); }

    void Initialize() override { FAutoFactory = &static_cast<TAutoObjectFactory&>(Factory()); }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        ITypeInfo& dispatchInfo = FAutoFactory->DispTypeInfo();
        dispatchInfo.AddRef();  // the caller's reference
        *info = &dispatchInfo;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        if (!ids) return E_POINTER;
        if (!HoldsNames(names, count)) return E_INVALIDARG;
        return DispGetIDsOfNames(&FAutoFactory->DispTypeInfo(), names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        if (!params) return E_POINTER;
        if (!HoldsArguments(*params)) return E_INVALIDARG;
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
            flags = DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF;
        IUnknown* instance = FAutoFactory->DispIntfEntry().Locate(*this);
        return FAutoFactory->DispTypeInfo().Invoke(instance, member, flags, params, result, exception, argumentError);
    }

    // Notified when an event sink connects; the class has no events.
    virtual void EventSinkChanged(IUnknown*) {}

    static const TInterfaceTable InterfaceTable;
    const TInterfaceTable& Interfaces() const noexcept override { return InterfaceTable; }

protected:
    TAutoObject() = default;

private:
    // The platform's type information reads what it is handed without
    // checking it: an automation call is checked here first, so that a
    // malformed one fails instead of faulting inside the platform.
    static bool HoldsNames(const LPOLESTR* names, UINT count) noexcept {
        if (!names) return false;
        return std::all_of(names, names + count, [](LPCOLESTR name) { return name != nullptr; });
    }
    static bool HoldsArguments(const DISPPARAMS& params) noexcept {
        if (params.cArgs != 0 && !params.rgvarg) return false;
        if (params.cNamedArgs != 0 && !params.rgdispidNamedArgs) return false;
        return params.cNamedArgs <= params.cArgs;
    }

    static IUnknown* LocateDual(TComObject& object) {
        return static_cast<DualInterface*>(&static_cast<TAutoObject&>(object));
    }
    static inline const TInterfaceEntry AutoObjectInterfaces[] = {
        {&__uuidof(DualInterface), &LocateDual},
        {&IID_IDispatch, &LocateDual},
    };

    Microsoft::WRL::ComPtr<IUnknown> FEventSink;  // no events: stays empty
    TAutoObjectFactory* FAutoFactory = nullptr;
};

template <typename DualInterface>
const TInterfaceTable TAutoObject<DualInterface>::InterfaceTable{&TTypedComObject::InterfaceTable,
                                                                 TAutoObject<DualInterface>::AutoObjectInterfaces};
