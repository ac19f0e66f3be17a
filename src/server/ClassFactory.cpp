#include "server/ClassFactory.h"

#include "transactor/ParamTransactorUnt.h"

#include <wrl/client.h>

#include <new>

namespace {

class ParamTransactorFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        // The object starts with no reference; this one ends with the scope.
        Microsoft::WRL::ComPtr<TParamTransactor> created(new (std::nothrow) TParamTransactor());
        if (!created) return E_OUTOFMEMORY;
        return created->QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

ParamTransactorFactory TheFactory;

}  // namespace

HRESULT GetParamTransactorClassObject(REFIID iid, void** object) noexcept {
    return TheFactory.QueryInterface(iid, object);
}
