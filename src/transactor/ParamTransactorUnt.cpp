#include "transactor/ParamTransactorUnt.h"

#include "contracts/ExtensionEntryPoints.h"
#include "server/MethodGuard.h"

TParamTransactor::TParamTransactor()
    : FExplainLibrary(ExplainParamName), FObscureLibrary(ObscureParamName), FEditLibrary(EditParamName) {}

TParamTransactor::~TParamTransactor() {
    // The libraries are freed in slot order: explain, obscure, edit.
    FExplainLibrary.Unload();
    FObscureLibrary.Unload();
    FEditLibrary.Unload();
}

HRESULT TParamTransactor::Explain(IParam*, VARIANT, LONG, LONG*) { return E_NOTIMPL; }

HRESULT TParamTransactor::Obscure(IParam*, VARIANT*, LONG*, LONG*) { return E_NOTIMPL; }

HRESULT TParamTransactor::Edit(IParam*, BSTR*, LONG*) { return E_NOTIMPL; }

HRESULT TParamTransactor::GetPath(const ExtensionSlot& slot, BSTR* path) noexcept {
    if (!path) return E_POINTER;
    *path = nullptr;
    return MethodGuard([&] { *path = slot.CopyPath().Release(); });
}

HRESULT TParamTransactor::PutPath(ExtensionSlot& slot, BSTR path) noexcept {
    return MethodGuard([&] { slot.PutPath(path); });
}

HRESULT TParamTransactor::get_ExplainLibrary(BSTR* path) { return GetPath(FExplainLibrary, path); }
HRESULT TParamTransactor::put_ExplainLibrary(BSTR path) { return PutPath(FExplainLibrary, path); }
HRESULT TParamTransactor::get_ObscureLibrary(BSTR* path) { return GetPath(FObscureLibrary, path); }
HRESULT TParamTransactor::put_ObscureLibrary(BSTR path) { return PutPath(FObscureLibrary, path); }
HRESULT TParamTransactor::get_EditLibrary(BSTR* path) { return GetPath(FEditLibrary, path); }
HRESULT TParamTransactor::put_EditLibrary(BSTR path) { return PutPath(FEditLibrary, path); }
