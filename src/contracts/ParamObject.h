#pragma once
// A base for the classes that play the host's parameter object (the tests'
// fake, param_host's object, the benchmark's): it declares the 77 slots of
// IParam once and hands each call to the derived class, found at compile
// time, so a call costs no more than the interface's own virtual call. The
// getters answer from the derived class's ParamValues.
//
// The derived class befriends ParamObject<Derived> and provides:
//   const ParamValues& Answers() const;
//   template <typename Value>
//   HRESULT Answer(const wchar_t* method, const Value& value, Value* out);   numbers and flags
//   HRESULT Answer(const wchar_t* method, const std::wstring& text, BSTR* out);  texts
//   HRESULT Write(const wchar_t* method, ParamText target, BSTR text);       SetValueText and the like
//   HRESULT WriteExplainCode(USHORT code);
//   VARIANT_BOOL Check(BSTR text);                                           CheckValueText
//   LONG OptionText(LONG index, BSTR* text);                                 GetOptionText
//   HRESULT Unexpected(const wchar_t* method);                               Reserved05 to Reserved79
// together with IUnknown's AddRef and Release. It may also override any
// slot itself.

#include "contracts/ParamReservedMethods.h"
#include "contracts/Vantrel_TLB.h"

#include <string>
#include <vector>

// What the getters of a parameter object answer: one field per getter.
struct ParamValues {
    std::wstring ParamName, ValueText, DisplaySuffix, MaxValueText, MinValueText, ObscureText, BitText;
    LONG DataType = 0, InputKind = 0, ObscureIntA = 0, ObscureIntB = 0, ParamId = 0, StartByte = 0, ByteCount = 0,
         BitIndex = 0, BitMode = 0, OptionCount = 0;
    VARIANT_BOOL HexEncoded = VARIANT_FALSE;
    BYTE ObscureByteA = 0, ObscureByteB = 0;
    std::vector<std::wstring> Options;  // what GetOptionText(i) gives, where the object keeps options
};

// The texts the component writes into a parameter object.
enum class ParamText { Value, Bit, Display };

// IParam's getters: X(method, value type, field of ParamValues).
#define FOR_EACH_PARAM_GETTER(X)                                                                                  \
    X(GetParamName, BSTR, ParamName) X(GetValueText, BSTR, ValueText) X(GetDisplaySuffix, BSTR, DisplaySuffix)    \
    X(GetDataType, LONG, DataType) X(GetInputKind, LONG, InputKind) X(GetObscureIntA, LONG, ObscureIntA)          \
    X(GetParamId, LONG, ParamId) X(GetMaxValueText, BSTR, MaxValueText) X(GetMinValueText, BSTR, MinValueText)    \
    X(GetStartByte, LONG, StartByte) X(GetByteCount, LONG, ByteCount) X(GetBitIndex, LONG, BitIndex)              \
    X(GetBitMode, LONG, BitMode) X(GetObscureText, BSTR, ObscureText) X(GetHexEncoded, VARIANT_BOOL, HexEncoded) \
    X(GetOptionCount, LONG, OptionCount) X(GetBitText, BSTR, BitText) X(GetObscureIntB, LONG, ObscureIntB)        \
    X(GetObscureByteA, BYTE, ObscureByteA) X(GetObscureByteB, BYTE, ObscureByteB)

// IParam's text setters: X(method, text written).
#define FOR_EACH_PARAM_TEXT_SETTER(X) \
    X(SetValueText, ParamText::Value) X(SetBitText, ParamText::Bit) X(SetDisplayText, ParamText::Display)

template <typename Derived>
class ParamObject : public IParam {
public:
    // IUnknown: the object answers IUnknown and IParam.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IParam)) {
            *object = static_cast<IParam*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    // IParam
#define PARAM_OBJECT_GETTER(method, Value, field)                 \
    HRESULT STDMETHODCALLTYPE method(Value* value) override {     \
        return Self().Answer(L"" #method, Self().Answers().field, value); \
    }
    FOR_EACH_PARAM_GETTER(PARAM_OBJECT_GETTER)
#undef PARAM_OBJECT_GETTER

#define PARAM_OBJECT_TEXT_SETTER(method, target) \
    HRESULT STDMETHODCALLTYPE method(BSTR text) override { return Self().Write(L"" #method, target, text); }
    FOR_EACH_PARAM_TEXT_SETTER(PARAM_OBJECT_TEXT_SETTER)
#undef PARAM_OBJECT_TEXT_SETTER

    HRESULT STDMETHODCALLTYPE SetExplainCode(USHORT code) override { return Self().WriteExplainCode(code); }
    VARIANT_BOOL STDMETHODCALLTYPE CheckValueText(BSTR text) override { return Self().Check(text); }
    LONG STDMETHODCALLTYPE GetOptionText(LONG index, BSTR* text) override { return Self().OptionText(index, text); }

#define PARAM_OBJECT_RESERVED(n) \
    HRESULT STDMETHODCALLTYPE Reserved##n() override { return Self().Unexpected(L"Reserved" #n); }
    FOR_EACH_RESERVED_PARAM_METHOD(PARAM_OBJECT_RESERVED)
#undef PARAM_OBJECT_RESERVED

protected:
    ParamObject() = default;
    ~ParamObject() = default;

private:
    Derived& Self() noexcept { return static_cast<Derived&>(*this); }
};
