#pragma once
// A parameter object for timing: it answers fixed field settings and texts and
// drops what it is given, so that the time measured is the transactor's own and
// nothing accumulates from call to call. It does not count references; it
// outlives every transactor call made with it.

#include "contracts/ParamReservedMethods.h"
#include "contracts/Vantrel_TLB.h"

#include <string>

class LeanParam final : public IParam {
public:
    // What the getters answer.
    LONG StartByte = 1, ByteCount = 1, ParamId = 0;
    VARIANT_BOOL HexEncoded = VARIANT_FALSE;
    std::wstring ValueText, ObscureText;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IParam: what the transactor reads and writes.
    HRESULT STDMETHODCALLTYPE GetStartByte(LONG* start) override { return Answer(StartByte, start); }
    HRESULT STDMETHODCALLTYPE GetByteCount(LONG* count) override { return Answer(ByteCount, count); }
    HRESULT STDMETHODCALLTYPE GetBitIndex(LONG* index) override { return Answer(LONG{0}, index); }
    HRESULT STDMETHODCALLTYPE GetBitMode(LONG* mode) override { return Answer(LONG{0}, mode); }
    HRESULT STDMETHODCALLTYPE GetHexEncoded(VARIANT_BOOL* hex) override { return Answer(HexEncoded, hex); }
    HRESULT STDMETHODCALLTYPE GetParamId(LONG* id) override { return Answer(ParamId, id); }
    HRESULT STDMETHODCALLTYPE GetObscureIntA(LONG* value) override { return Answer(LONG{0}, value); }
    HRESULT STDMETHODCALLTYPE GetObscureIntB(LONG* value) override { return Answer(LONG{0}, value); }
    HRESULT STDMETHODCALLTYPE GetObscureByteA(BYTE* value) override { return Answer(BYTE{0}, value); }
    HRESULT STDMETHODCALLTYPE GetObscureByteB(BYTE* value) override { return Answer(BYTE{0}, value); }
    HRESULT STDMETHODCALLTYPE GetValueText(BSTR* text) override { return AnswerText(ValueText, text); }
    HRESULT STDMETHODCALLTYPE GetObscureText(BSTR* text) override { return AnswerText(ObscureText, text); }
    HRESULT STDMETHODCALLTYPE GetDisplaySuffix(BSTR* suffix) override { return AnswerText({}, suffix); }
    HRESULT STDMETHODCALLTYPE GetBitText(BSTR* text) override { return AnswerText({}, text); }
    HRESULT STDMETHODCALLTYPE SetValueText(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetBitText(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetDisplayText(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetExplainCode(USHORT) override { return S_OK; }

    // IParam: what Explain and Obscure never use.
    VARIANT_BOOL STDMETHODCALLTYPE CheckValueText(BSTR) override { return VARIANT_TRUE; }
    LONG STDMETHODCALLTYPE GetOptionText(LONG, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetParamName(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDataType(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetInputKind(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMaxValueText(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMinValueText(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOptionCount(LONG*) override { return E_NOTIMPL; }

#define LEAN_PARAM_RESERVED(n) \
    HRESULT STDMETHODCALLTYPE Reserved##n() override { return E_NOTIMPL; }
    FOR_EACH_RESERVED_PARAM_METHOD(LEAN_PARAM_RESERVED)
#undef LEAN_PARAM_RESERVED

private:
    template <typename T>
    static HRESULT Answer(T value, T* out) {
        if (!out) return E_POINTER;
        *out = value;
        return S_OK;
    }
    // A fresh BSTR that the caller frees, as the host gives it; null for an empty text.
    static HRESULT AnswerText(const std::wstring& value, BSTR* out);
};
