#include "BenchCases.h"

#include "transactor/ParamTransactorUnt.h"
#include "util/UniqueBstr.h"
#include "util/UniqueSafeArray.h"

#include <algorithm>
#include <stdexcept>

namespace {

void Check(HRESULT result, const char* what) {
    if (result != S_OK) throw std::runtime_error(std::string(what) + " failed");
}

Microsoft::WRL::ComPtr<IParamTransactor> NewTransactor() {
    // A new object has no reference until the first one is taken here.
    return Microsoft::WRL::ComPtr<IParamTransactor>(new TParamTransactor());
}

// The pointer as the compiler cannot see through it: calls on it stay real
// virtual calls, as the transactor's calls on the host's object are.
IParam* Opaque(IParam* param) {
    asm volatile("" : "+r"(param));
    return param;
}

// Puts into `frame` a byte array of `length` hex digit characters.
void FillFrame(VARIANT& frame, LONG length) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(length));
    if (!array) throw std::runtime_error("creating the frame failed");
    V_VT(&frame) = VT_ARRAY | VT_UI1;
    V_ARRAY(&frame) = array;
    BYTE* bytes = nullptr;
    Check(SafeArrayAccessData(array, reinterpret_cast<void**>(&bytes)), "filling the frame");
    for (LONG i = 0; i < length; ++i) bytes[i] = static_cast<BYTE>("0123456789ABCDEF"[i % 16]);
    SafeArrayUnaccessData(array);
}

void PassText(IParam& param, HRESULT (STDMETHODCALLTYPE IParam::*setter)(BSTR), const std::wstring& text) {
    const UniqueBstr fresh = UniqueBstr::Copy(text);
    Check((param.*setter)(fresh.Get()), "a text setter");
}

void TakeText(IParam& param, HRESULT (STDMETHODCALLTYPE IParam::*getter)(BSTR*)) {
    UniqueBstr text;
    Check((param.*getter)(text.Receive()), "a text getter");
}

template <typename Value>
void TakeValue(IParam& param, HRESULT (STDMETHODCALLTYPE IParam::*getter)(Value*)) {
    Value value{};
    Check((param.*getter)(&value), "a getter");
}

}  // namespace

ExplainCase::ExplainCase(LONG frameLength, LONG fieldLength, bool hexEncoded, const wchar_t* library,
                         LONG paramId)
    : FTransactor(NewTransactor()), FFrameLength(frameLength) {
    FillFrame(FFrame.Get(), frameLength);
    FParam.ByteCount = fieldLength;
    FParam.ParamId = paramId;
    FParam.HexEncoded = hexEncoded ? VARIANT_TRUE : VARIANT_FALSE;
    const UniqueBstr path = UniqueBstr::Copy(library);
    Check(FTransactor->put_ExplainLibrary(path.Get()), "putting the explain library");
}

ExplainCase::ExplainCase(const std::string& frame, LONG fieldLength, const wchar_t* library, LONG paramId)
    : ExplainCase(static_cast<LONG>(frame.size()), fieldLength, false, library, paramId) {
    BYTE* bytes = nullptr;
    Check(SafeArrayAccessData(V_ARRAY(&FFrame.Get()), reinterpret_cast<void**>(&bytes)), "filling the frame");
    std::copy(frame.begin(), frame.end(), bytes);
    SafeArrayUnaccessData(V_ARRAY(&FFrame.Get()));
}

void ExplainCase::operator()() {
    LONG status = 0;
    Check(FTransactor->Explain(&FParam, FFrame.Get(), FFrameLength, &status), "Explain");
}

ObscureCase::ObscureCase(size_t digitCount) : FTransactor(NewTransactor()) {
    FParam.ObscureText.assign(digitCount, L'7');
    FParam.ValueText.assign(digitCount, L'5');
}

void ObscureCase::operator()() {
    LONG count = 0, status = 0;
    Check(FTransactor->Obscure(&FParam, &FData.Get(), &count, &status), "Obscure");
}

ExplainBuiltInFloor::ExplainBuiltInFloor(LeanParam& param, size_t bitTextLength, size_t valueTextLength)
    : FParam(&param), FBitText(bitTextLength, L'1'), FValueText(valueTextLength, L'A') {}

void ExplainBuiltInFloor::operator()() {
    IParam& param = *Opaque(FParam);
    TakeValue(param, &IParam::GetStartByte);
    TakeValue(param, &IParam::GetBitIndex);
    TakeValue(param, &IParam::GetByteCount);
    TakeValue(param, &IParam::GetHexEncoded);
    TakeValue(param, &IParam::GetBitMode);
    PassText(param, &IParam::SetBitText, FBitText);
    TakeValue(param, &IParam::GetHexEncoded);
    PassText(param, &IParam::SetValueText, FValueText);
    TakeValue(param, &IParam::GetBitMode);
}

ObscureBuiltInFloor::ObscureBuiltInFloor(LeanParam& param, size_t digitCount)
    : FParam(&param), FDigitCount(static_cast<ULONG>(digitCount)) {}

void ObscureBuiltInFloor::operator()() {
    IParam& param = *Opaque(FParam);
    TakeText(param, &IParam::GetValueText);
    TakeText(param, &IParam::GetObscureText);
    UniqueSafeArray bytes(SafeArrayCreateVector(VT_UI1, 0, FDigitCount));
    if (!bytes.Get()) throw std::runtime_error("creating the byte array failed");
    Check(VariantClear(&FData.Get()), "clearing the byte array");
    V_VT(&FData.Get()) = VT_ARRAY | VT_UI1;
    V_ARRAY(&FData.Get()) = bytes.Release();
}
