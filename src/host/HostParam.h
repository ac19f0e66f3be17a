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

// These are inlined at every call, and so is the guard inside them (see
// guard/HostCallGuard.h for why).

// Reads a number or flag.
template <typename Value>
[[gnu::always_inline]] inline Value ReadParam(IParam& param, ParamGetter<Value> getter) {
    Value value{};
    CheckHostResult(CallHostMethod(param, getter, &value));
    return value;
}

// Writes a number or flag.
template <typename Value>
[[gnu::always_inline]] inline void WriteParam(IParam& param, ParamSetter<Value> setter, Value value) {
    CheckHostResult(CallHostMethod(param, setter, value));
}

// Reads a text as the host gave it, for passing on unconverted.
[[gnu::always_inline]] inline UniqueBstr ReadParamBstr(IParam& param, ParamGetter<BSTR> getter) {
    UniqueBstr text;
    CheckHostResult(CallHostMethod(param, getter, text.Receive()));
    return text;
}

// Reads a text, converted to 8-bit text over its full length.
inline std::string ReadParamText(IParam& param, ParamGetter<BSTR> getter) {
    return AnsiFromBstr(ReadParamBstr(param, getter).Get());
}

// Writes an 8-bit text.
inline void WriteParamText(IParam& param, ParamTextSetter setter, std::string_view text) {
    UniqueBstr wide = BstrFromAnsi(text);
    WriteParam(param, setter, wide.Get());
}
