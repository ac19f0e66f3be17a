#pragma once
// A parameter object for timing: it answers fixed field settings and texts and
// drops what it is given, so that the time measured is the transactor's own and
// nothing accumulates from call to call. It does not count references; it
// outlives every transactor call made with it. Its getters are the base's
// slots calling the answers below directly: no virtual call beyond the
// interface's own, and the numbers are answered inline.

#include "contracts/ParamObject.h"

#include <string>

// What the getters answer is the ParamValues part (StartByte, ByteCount,
// HexEncoded, ValueText, ObscureText...).
class LeanParam final : public ParamObject<LeanParam>, public ParamValues {
public:
    LeanParam() {
        StartByte = 1;
        ByteCount = 1;
    }

    // IUnknown
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

private:
    friend class ParamObject<LeanParam>;

    // For ParamObject.
    const ParamValues& Answers() const { return *this; }
    template <typename T>
    static HRESULT Answer(const wchar_t*, const T& value, T* out) {
        if (!out) return E_POINTER;
        *out = value;
        return S_OK;
    }
    // A fresh BSTR that the caller frees, as the host gives it; null for an empty text.
    static HRESULT Answer(const wchar_t*, const std::wstring& value, BSTR* out);
    static HRESULT Write(const wchar_t*, ParamText, BSTR) { return S_OK; }
    static HRESULT WriteExplainCode(USHORT) { return S_OK; }
    static VARIANT_BOOL Check(BSTR) { return VARIANT_TRUE; }
    static LONG OptionText(LONG, BSTR*) { return E_NOTIMPL; }
    static HRESULT Unexpected(const wchar_t*) { return E_NOTIMPL; }
};
