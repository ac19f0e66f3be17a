#pragma once
// Calls on the host's parameter object. Every getter and setter that returns
// an HRESULT goes through these, so a failing result always raises (with the
// host's error information), a fault inside the host raises EProcessorFault
// (guard/HostCallGuard.h) and texts always cross in the system code page.

#include "contracts/Vantrel_TLB.h"
#include "errors/HostResult.h"
#include "guard/HostCallGuard.h"
#include "util/AnsiText.h"

#include <string>
#include <string_view>

template <typename Value>
using ParamGetter = HRESULT (STDMETHODCALLTYPE IParam::*)(Value*);
template <typename Value>
using ParamSetter = HRESULT (STDMETHODCALLTYPE IParam::*)(Value);
using ParamTextSetter = ParamSetter<BSTR>;

// The host's parameter object during an operation that runs under the
// method guard (errors/MethodGuard.h): its calls are marked straight in the
// host-call slot of the guard's record, found once when the operation
// starts, where each call on a bare IParam looks for it on the thread's
// exception chain first. Explain makes ten host calls on every call, and
// looking for the slot was about a third of each call's guard. It is made where the operation
// starts, before any host call, and lives no longer than the operation.
class OperationParam {
public:
    explicit OperationParam(IParam& param) noexcept : FObject(param), FSlot(FreeHostCallSlot()) {}
    OperationParam(const OperationParam&) = delete;
    OperationParam& operator=(const OperationParam&) = delete;

    IParam& Object() const noexcept { return FObject; }
    HostCallSlot* const& Slot() const noexcept { return FSlot; }

private:
    IParam& FObject;
    HostCallSlot* FSlot;
};

// CallHostMethod for the calls below on an OperationParam.
template <typename Result, typename... Parameters, typename... Arguments>
[[gnu::always_inline]] inline Result CallHostMethod(const OperationParam& param,
                                                    Result (STDMETHODCALLTYPE IParam::*method)(Parameters...),
                                                    Arguments... arguments) {
    return CallHostMethod(param.Slot(), param.Object(), method, arguments...);
}

// These take an IParam or an OperationParam. They are inlined at every
// call, and so is the guard inside them (see guard/HostCallGuard.h for why).

// Reads a number or flag.
template <typename Param, typename Value>
[[gnu::always_inline]] inline Value ReadParam(Param& param, ParamGetter<Value> getter) {
    Value value{};
    CheckHostResult(CallHostMethod(param, getter, &value));
    return value;
}

// Writes a number or flag.
template <typename Param, typename Value>
[[gnu::always_inline]] inline void WriteParam(Param& param, ParamSetter<Value> setter, Value value) {
    CheckHostResult(CallHostMethod(param, setter, value));
}

// Reads a text as the host gave it, for passing on unconverted.
template <typename Param>
[[gnu::always_inline]] inline UniqueBstr ReadParamBstr(Param& param, ParamGetter<BSTR> getter) {
    UniqueBstr text;
    CheckHostResult(CallHostMethod(param, getter, text.Receive()));
    return text;
}

// Reads a text, converted to 8-bit text over its full length.
template <typename Param>
std::string ReadParamText(Param& param, ParamGetter<BSTR> getter) {
    return AnsiFromBstr(ReadParamBstr(param, getter).Get());
}

// Writes an 8-bit text.
template <typename Param>
void WriteParamText(Param& param, ParamTextSetter setter, std::string_view text) {
    UniqueBstr wide = BstrFromAnsi(text);
    WriteParam(param, setter, wide.Get());
}
