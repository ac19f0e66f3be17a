#include "LeanParam.h"

HRESULT LeanParam::Answer(const wchar_t*, const std::wstring& value, BSTR* out) {
    if (!out) return E_POINTER;
    *out = value.empty() ? nullptr : SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return value.empty() || *out ? S_OK : E_OUTOFMEMORY;
}
