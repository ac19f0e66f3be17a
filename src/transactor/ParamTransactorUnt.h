#pragma once
// TParamTransactor: the component's one COM class. It keeps the paths of up
// to three extension libraries (loaded as soon as a path is put) and routes
// Explain, Obscure and Edit to an extension or to the built-in behaviour.

#include "contracts/Vantrel_TLB.h"
#include "frame/AutoObject.h"
#include "transactor/ExtensionSlot.h"
#include "transactor/OperationCapture.h"

class TParamTransactor : public TAutoObject<IParamTransactor> {
public:
    TParamTransactor();

    // IParamTransactor
    HRESULT STDMETHODCALLTYPE Explain(IParam* param, VARIANT data, LONG dataLength, LONG* status) override;
    HRESULT STDMETHODCALLTYPE Obscure(IParam* param, VARIANT* data, LONG* count, LONG* status) override;
    HRESULT STDMETHODCALLTYPE Edit(IParam* param, BSTR* value, LONG* status) override;
    HRESULT STDMETHODCALLTYPE get_ExplainLibrary(BSTR* path) override;
    HRESULT STDMETHODCALLTYPE put_ExplainLibrary(BSTR path) override;
    HRESULT STDMETHODCALLTYPE get_ObscureLibrary(BSTR* path) override;
    HRESULT STDMETHODCALLTYPE put_ObscureLibrary(BSTR path) override;
    HRESULT STDMETHODCALLTYPE get_EditLibrary(BSTR* path) override;
    HRESULT STDMETHODCALLTYPE put_EditLibrary(BSTR path) override;

protected:
    ~TParamTransactor() override;

private:
    HRESULT CapturedExplain(IParam* param, const VARIANT& data, LONG dataLength, LONG* status) noexcept;
    HRESULT CapturedObscure(IParam* param, VARIANT* data, LONG* count, LONG* status) noexcept;
    HRESULT CapturedEdit(IParam* param, BSTR* value, LONG* status) noexcept;
    static HRESULT GetPath(const ExtensionSlot& slot, BSTR* path) noexcept;
    static HRESULT PutPath(ExtensionSlot& slot, BSTR path) noexcept;

    ExtensionSlot FExplainLibrary;
    ExtensionSlot FObscureLibrary;
    ExtensionSlot FEditLibrary;
    CaptureScratch FCaptureScratch;
};
