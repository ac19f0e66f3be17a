#pragma once
// A parameter object for timing: it answers fixed field settings and texts and
// drops what it is given, so that the time measured is the transactor's own and
// nothing accumulates from call to call. It does not count references; it
// outlives every transactor call made with it.

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
    LEAN_PARAM_RESERVED(05) LEAN_PARAM_RESERVED(06) LEAN_PARAM_RESERVED(07) LEAN_PARAM_RESERVED(09)
    LEAN_PARAM_RESERVED(13) LEAN_PARAM_RESERVED(14) LEAN_PARAM_RESERVED(15) LEAN_PARAM_RESERVED(16)
    LEAN_PARAM_RESERVED(18) LEAN_PARAM_RESERVED(19) LEAN_PARAM_RESERVED(21) LEAN_PARAM_RESERVED(23)
    LEAN_PARAM_RESERVED(24) LEAN_PARAM_RESERVED(25) LEAN_PARAM_RESERVED(27) LEAN_PARAM_RESERVED(29)
    LEAN_PARAM_RESERVED(31) LEAN_PARAM_RESERVED(32) LEAN_PARAM_RESERVED(33) LEAN_PARAM_RESERVED(34)
    LEAN_PARAM_RESERVED(35) LEAN_PARAM_RESERVED(37) LEAN_PARAM_RESERVED(39) LEAN_PARAM_RESERVED(41)
    LEAN_PARAM_RESERVED(42) LEAN_PARAM_RESERVED(45) LEAN_PARAM_RESERVED(46) LEAN_PARAM_RESERVED(47)
    LEAN_PARAM_RESERVED(49) LEAN_PARAM_RESERVED(51) LEAN_PARAM_RESERVED(52) LEAN_PARAM_RESERVED(53)
    LEAN_PARAM_RESERVED(55) LEAN_PARAM_RESERVED(59) LEAN_PARAM_RESERVED(61) LEAN_PARAM_RESERVED(63)
    LEAN_PARAM_RESERVED(64) LEAN_PARAM_RESERVED(66) LEAN_PARAM_RESERVED(67) LEAN_PARAM_RESERVED(68)
    LEAN_PARAM_RESERVED(69) LEAN_PARAM_RESERVED(70) LEAN_PARAM_RESERVED(71) LEAN_PARAM_RESERVED(72)
    LEAN_PARAM_RESERVED(73) LEAN_PARAM_RESERVED(74) LEAN_PARAM_RESERVED(75) LEAN_PARAM_RESERVED(76)
    LEAN_PARAM_RESERVED(77) LEAN_PARAM_RESERVED(78) LEAN_PARAM_RESERVED(79)
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
