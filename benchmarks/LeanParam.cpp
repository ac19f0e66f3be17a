#include "LeanParam.h"

HRESULT LeanParam::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IParam)) {
        *object = static_cast<IParam*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT LeanParam::AnswerText(const std::wstring& value, BSTR* out) {
    if (!out) return E_POINTER;
    *out = value.empty() ? nullptr : SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return value.empty() || *out ? S_OK : E_OUTOFMEMORY;
}
