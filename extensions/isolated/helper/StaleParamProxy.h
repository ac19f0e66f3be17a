#pragma once
// What a kept IParam pointer finds once its call has returned and its page
// of proxies is gone: an object whose every method answers
// RPC_E_DISCONNECTED (CheckValueText false, GetOptionText 0), counts the
// call for the host's log and touches nothing else. ProxyRegion lays these
// over a page a stale call faults on.
#include "contracts/ParamReservedMethods.h"
#include "contracts/Vantrel_TLB.h"

class StaleParamProxy final : public IParam {
public:
    // Where the stale calls are counted (the channel's staleParamCalls).
    static void CountInto(volatile LONG* counter) noexcept;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    VARIANT_BOOL STDMETHODCALLTYPE CheckValueText(BSTR) override;
    LONG STDMETHODCALLTYPE GetOptionText(LONG, BSTR* text) override;
#define STALE_GETTER(method, Value) \
    HRESULT STDMETHODCALLTYPE method(Value*) override { return Disconnected(); }
    STALE_GETTER(GetParamName, BSTR) STALE_GETTER(GetValueText, BSTR) STALE_GETTER(GetDisplaySuffix, BSTR)
    STALE_GETTER(GetDataType, LONG) STALE_GETTER(GetInputKind, LONG) STALE_GETTER(GetObscureIntA, LONG)
    STALE_GETTER(GetParamId, LONG) STALE_GETTER(GetMaxValueText, BSTR) STALE_GETTER(GetMinValueText, BSTR)
    STALE_GETTER(GetStartByte, LONG) STALE_GETTER(GetByteCount, LONG) STALE_GETTER(GetBitIndex, LONG)
    STALE_GETTER(GetBitMode, LONG) STALE_GETTER(GetObscureText, BSTR) STALE_GETTER(GetHexEncoded, VARIANT_BOOL)
    STALE_GETTER(GetOptionCount, LONG) STALE_GETTER(GetBitText, BSTR) STALE_GETTER(GetObscureIntB, LONG)
    STALE_GETTER(GetObscureByteA, BYTE) STALE_GETTER(GetObscureByteB, BYTE)
#undef STALE_GETTER
    HRESULT STDMETHODCALLTYPE SetValueText(BSTR) override { return Disconnected(); }
    HRESULT STDMETHODCALLTYPE SetBitText(BSTR) override { return Disconnected(); }
    HRESULT STDMETHODCALLTYPE SetDisplayText(BSTR) override { return Disconnected(); }
    HRESULT STDMETHODCALLTYPE SetExplainCode(USHORT) override { return Disconnected(); }
#define STALE_RESERVED(n) \
    HRESULT STDMETHODCALLTYPE Reserved##n() override { return Disconnected(); }
    FOR_EACH_RESERVED_PARAM_METHOD(STALE_RESERVED)
#undef STALE_RESERVED

private:
    static HRESULT Disconnected() noexcept;
};
