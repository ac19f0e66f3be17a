#include "ParamProxy.h"

#include "ProxyRegion.h"
#include "StaleParamProxy.h"

#include <cwchar>
#include <cstring>
#include <new>

static_assert(sizeof(ParamProxy) == ProxyRegion::ProxyBytes);

namespace {

// For the tests, which call past it: OVIX_ISOLATION_PROXY_HORIZON, the
// calls after which a proxy's address may come again.
uint32_t Horizon() {
    wchar_t value[16];
    const DWORD length = GetEnvironmentVariableW(L"OVIX_ISOLATION_PROXY_HORIZON", value, 16);
    if (length == 0 || length >= 16) return ProxyRegion::DefaultHorizon;
    const unsigned long horizon = std::wcstoul(value, nullptr, 10);
    return horizon >= 1024 && horizon <= ProxyRegion::DefaultHorizon ? static_cast<uint32_t>(horizon)
                                                                     : ProxyRegion::DefaultHorizon;
}

ProxyRegion* Proxies(HelperChannel& channel) {
    static ProxyRegion region;
    static const bool reserved = [&] {
        StaleParamProxy::CountInto(&channel.Shared().staleParamCalls);
        return region.Reserve(Horizon());
    }();
    return reserved ? &region : nullptr;
}

HelperChannel* Channel;
// The call whose proxies serve (0: none); read and written under Forwarding.
uint32_t ServingCall;
CRITICAL_SECTION Forwarding;
const bool ForwardingReady = [] {
    InitializeCriticalSection(&Forwarding);
    return true;
}();

// Holds the channel for one forwarded call (the extension's threads take turns).
class ForwardingTurn {
public:
    explicit ForwardingTurn(uint32_t callNumber) {
        EnterCriticalSection(&Forwarding);
        FServes = callNumber != 0 && callNumber == ServingCall;
        if (!FServes) InterlockedIncrement(&Channel->Shared().staleParamCalls);
    }
    ~ForwardingTurn() { LeaveCriticalSection(&Forwarding); }
    ForwardingTurn(const ForwardingTurn&) = delete;
    ForwardingTurn& operator=(const ForwardingTurn&) = delete;

    bool Serves() const noexcept { return FServes; }

    // Hands the call in the channel to the host and waits for its answer.
    ChannelParamCall& Run(ChannelParamCall call) {
        IsolationChannel& shared = Channel->Shared();
        shared.param = call;
        Channel->Post(TurnHostParamCall);
        Channel->WaitForTurn(TurnHelperParamDone, TurnHelperParamDone);
        return shared.param;
    }

private:
    bool FServes = false;
};

// A BSTR argument goes into the channel's text; false when it does not fit.
bool PutText(ChannelParamCall& call, BSTR text) {
    call.pointerIsNull = text == nullptr;
    const UINT length = text ? SysStringLen(text) : 0;
    if (length > ChannelTextCapacity) return false;
    if (length) std::memcpy(Channel->Shared().text, text, length * sizeof(wchar_t));
    call.textLength = static_cast<int32_t>(length);
    return true;
}

ChannelParamCall NewCall(int32_t slot, bool pointerIsNull = false, int32_t number = 0) {
    ChannelParamCall call{};
    call.slot = slot;
    call.pointerIsNull = pointerIsNull;
    call.number = number;
    return call;
}

BSTR TakeText(const ChannelParamCall& answer) {
    if (answer.textIsNull) return nullptr;
    return SysAllocStringLen(Channel->Shared().text, static_cast<UINT>(answer.textLength));
}

}  // namespace

IParam* ParamProxy::LendFor(HelperChannel& channel, uint32_t callNumber) {
    Channel = &channel;
    ProxyRegion* proxies = Proxies(channel);
    if (!proxies) return nullptr;
    ParamProxy& proxy = *new (proxies->Next()) ParamProxy();
    EnterCriticalSection(&Forwarding);
    proxy.FCallNumber = callNumber;
    ServingCall = callNumber;
    LeaveCriticalSection(&Forwarding);
    return &proxy;
}

void ParamProxy::EndCall() {
    EnterCriticalSection(&Forwarding);
    ServingCall = 0;
    LeaveCriticalSection(&Forwarding);
}

// Only IUnknown and IParam: no other interface of the host's object can be
// carried to the helper.
HRESULT ParamProxy::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IParam)) {
        *object = static_cast<IParam*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

VARIANT_BOOL ParamProxy::CheckValueText(BSTR text) {
    ForwardingTurn turn(FCallNumber);
    ChannelParamCall call = NewCall(3);
    if (!turn.Serves() || !PutText(call, text)) return VARIANT_FALSE;
    return static_cast<VARIANT_BOOL>(turn.Run(call).result);
}

LONG ParamProxy::GetOptionText(LONG index, BSTR* text) {
    ForwardingTurn turn(FCallNumber);
    if (!turn.Serves()) return 0;
    const ChannelParamCall& answer = turn.Run(NewCall(4, text == nullptr, index));
    if (text) *text = TakeText(answer);
    return answer.result;
}

HRESULT ParamProxy::SetText(int32_t slot, BSTR text) {
    ForwardingTurn turn(FCallNumber);
    ChannelParamCall call = NewCall(slot);
    if (!turn.Serves()) return RPC_E_DISCONNECTED;
    if (!PutText(call, text)) return E_OUTOFMEMORY;
    return turn.Run(call).result;
}

HRESULT ParamProxy::SetExplainCode(USHORT code) {
    ForwardingTurn turn(FCallNumber);
    if (!turn.Serves()) return RPC_E_DISCONNECTED;
    return turn.Run(NewCall(43, false, code)).result;
}

HRESULT ParamProxy::CallWithoutArguments(int32_t slot) {
    ForwardingTurn turn(FCallNumber);
    if (!turn.Serves()) return RPC_E_DISCONNECTED;
    return turn.Run(NewCall(slot)).result;
}

template <typename Value>
HRESULT ParamProxy::Get(int32_t slot, Value* value) {
    ForwardingTurn turn(FCallNumber);
    if (!turn.Serves()) return RPC_E_DISCONNECTED;
    const ChannelParamCall& answer = turn.Run(NewCall(slot, value == nullptr));
    if (value) *value = static_cast<Value>(answer.outNumber);
    return answer.result;
}

HRESULT ParamProxy::Get(int32_t slot, BSTR* text) {
    ForwardingTurn turn(FCallNumber);
    if (!turn.Serves()) return RPC_E_DISCONNECTED;
    const ChannelParamCall& answer = turn.Run(NewCall(slot, text == nullptr));
    if (text) *text = TakeText(answer);
    return answer.result;
}
