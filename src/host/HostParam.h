#pragma once
// Calls on the host's parameter object. Every getter and setter that returns
// an HRESULT goes through these, so a failing result always raises (with the
// host's error information) and texts always cross in the system code page.

#include "contracts/Vantrel_TLB.h"
#include "errors/HostResult.h"
#include "util/AnsiText.h"

#include <string>
#include <string_view>

template <typename Value>
using ParamGetter = HRESULT (STDMETHODCALLTYPE IParam::*)(Value*);
template <typename Value>
using ParamSetter = HRESULT (STDMETHODCALLTYPE IParam::*)(Value);
using ParamTextSetter = ParamSetter<BSTR>;

// Reads a number or flag.
template <typename Value>
Value ReadParam(IParam& param, ParamGetter<Value> getter) {
    Value value{};
    CheckHostResult((param.*getter)(&value));
    return value;
}

// Writes a number or flag.
template <typename Value>
void WriteParam(IParam& param, ParamSetter<Value> setter, Value value) {
    CheckHostResult((param.*setter)(value));
}

// Reads a text as the host gave it, for passing on unconverted.
inline UniqueBstr ReadParamBstr(IParam& param, ParamGetter<BSTR> getter) {
    UniqueBstr text;
    CheckHostResult((param.*getter)(text.Receive()));
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
