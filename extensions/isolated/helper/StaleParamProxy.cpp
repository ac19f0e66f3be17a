#include "StaleParamProxy.h"

namespace {
volatile LONG* Counter;
}  // namespace

void StaleParamProxy::CountInto(volatile LONG* counter) noexcept { Counter = counter; }

HRESULT StaleParamProxy::Disconnected() noexcept {
    if (Counter) InterlockedIncrement(Counter);
    return RPC_E_DISCONNECTED;
}

HRESULT StaleParamProxy::QueryInterface(REFIID, void** object) {
    if (object) *object = nullptr;
    return Disconnected();
}

VARIANT_BOOL StaleParamProxy::CheckValueText(BSTR) {
    Disconnected();
    return VARIANT_FALSE;
}

LONG StaleParamProxy::GetOptionText(LONG, BSTR* text) {
    Disconnected();
    if (text) *text = nullptr;
    return 0;
}
