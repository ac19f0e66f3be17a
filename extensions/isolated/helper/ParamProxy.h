#pragma once
// The IParam the helper lends the real extension: each of its 77 methods
// forwards the call over the channel to the host's object, which the host
// serves on its calling thread, and hands back what that object answered.
//
// A proxy serves only during the call it was lent for. A pointer the
// extension kept and calls later (from any thread) gets RPC_E_DISCONNECTED,
// as a COM proxy whose object went away does; the host is told how many such
// calls there were, and nothing reaches its object. Each call's proxy has an
// address no other call gets within 2^24 calls (ProxyRegion), so a kept
// pointer never turns into the proxy of a later call. References are not
// counted: the extension may hold a proxy without one.
#include "contracts/ParamReservedMethods.h"
#include "contracts/Vantrel_TLB.h"

#include "HelperChannel.h"

#include <cstdint>

// IParam's getters with their vtable slots: X(method, value type, slot).
#define FOR_EACH_PARAM_PROXY_GETTER(X)                                                                           \
    X(GetParamName, BSTR, 8) X(GetValueText, BSTR, 10) X(GetDisplaySuffix, BSTR, 12) X(GetDataType, LONG, 17)    \
    X(GetInputKind, LONG, 20) X(GetObscureIntA, LONG, 22) X(GetParamId, LONG, 26) X(GetMaxValueText, BSTR, 28)   \
    X(GetMinValueText, BSTR, 30) X(GetStartByte, LONG, 36) X(GetByteCount, LONG, 38) X(GetBitIndex, LONG, 40)    \
    X(GetBitMode, LONG, 44) X(GetObscureText, BSTR, 48) X(GetHexEncoded, VARIANT_BOOL, 50)                       \
    X(GetOptionCount, LONG, 54) X(GetBitText, BSTR, 56) X(GetObscureIntB, LONG, 58) X(GetObscureByteA, BYTE, 60) \
    X(GetObscureByteB, BYTE, 62)

class ParamProxy final : public IParam {
public:
    // Lends a proxy at a fresh address for the call `callNumber` (never 0);
    // null when no region for proxies could be reserved.
    static IParam* LendFor(HelperChannel& channel, uint32_t callNumber);
    // The call has returned: every proxy lent for it stops serving.
    static void EndCall();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    VARIANT_BOOL STDMETHODCALLTYPE CheckValueText(BSTR text) override;
    LONG STDMETHODCALLTYPE GetOptionText(LONG index, BSTR* text) override;

#define PARAM_PROXY_GETTER(method, Value, slot) \
    HRESULT STDMETHODCALLTYPE method(Value* value) override { return Get(slot, value); }
    FOR_EACH_PARAM_PROXY_GETTER(PARAM_PROXY_GETTER)
#undef PARAM_PROXY_GETTER
    HRESULT STDMETHODCALLTYPE SetValueText(BSTR text) override { return SetText(11, text); }
    HRESULT STDMETHODCALLTYPE SetBitText(BSTR text) override { return SetText(57, text); }
    HRESULT STDMETHODCALLTYPE SetDisplayText(BSTR text) override { return SetText(65, text); }
    HRESULT STDMETHODCALLTYPE SetExplainCode(USHORT code) override;

#define PARAM_PROXY_RESERVED(n) \
    HRESULT STDMETHODCALLTYPE Reserved##n() override { return CallWithoutArguments(1##n - 100); }
    FOR_EACH_RESERVED_PARAM_METHOD(PARAM_PROXY_RESERVED)
#undef PARAM_PROXY_RESERVED

private:
    HRESULT SetText(int32_t slot, BSTR text);
    HRESULT CallWithoutArguments(int32_t slot);
    template <typename Value>
    HRESULT Get(int32_t slot, Value* value);
    HRESULT Get(int32_t slot, BSTR* text);

    uint32_t FCallNumber = 0;
};
