#pragma once
// A stand-in for the host's parameter object. It answers what a test sets,
// records every call in order (with its argument), and fails any method on
// command, with or without error information. Methods the component must
// never call are recorded as "UNEXPECTED <name>".

#include "contracts/Vantrel_TLB.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class FakeParam final : public IParam {
public:
    // What the getters answer.
    std::wstring ParamName, ValueText, DisplaySuffix, MaxValueText, MinValueText, ObscureText, BitText;
    LONG DataType = 0, InputKind = 0, ObscureIntA = 0, ObscureIntB = 0, ParamId = 0, StartByte = 0,
         ByteCount = 0, BitIndex = 0, BitMode = 0, OptionCount = 0;
    VARIANT_BOOL HexEncoded = VARIANT_FALSE;
    BYTE ObscureByteA = 0, ObscureByteB = 0;
    std::vector<std::wstring> Options;  // GetOptionText(i) answers Options[i] when it exists
    std::vector<LONG> OptionCountAnswers;  // when set, GetOptionCount answers these in turn, then OptionCount
    std::function<bool(const std::wstring&)> AcceptValue = [](const std::wstring&) { return true; };

    // What the setters received last.
    std::wstring SetValue, SetBit, SetDisplay;
    USHORT SetCode = 0;

    // Every call in order: the method name, with its argument in parentheses
    // for methods that take one, e.g. L"SetValueText(1234)".
    std::vector<std::wstring> Calls;
    // The method names alone, in order.
    std::vector<std::wstring> CallNames() const;

    // Makes every later call of `method` return `result`; with a description,
    // the call also sets the thread's error information first.
    void Fail(const std::wstring& method, HRESULT result, const std::wstring& description = L"");

    // References held by others (0 when everybody released what they took).
    LONG OutstandingReferences() const { return FReferences - 1; }

    FakeParam() = default;
    FakeParam(const FakeParam&) = delete;
    FakeParam& operator=(const FakeParam&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FReferences; }
    ULONG STDMETHODCALLTYPE Release() override { return --FReferences; }

    // IParam
    VARIANT_BOOL STDMETHODCALLTYPE CheckValueText(BSTR text) override;
    LONG STDMETHODCALLTYPE GetOptionText(LONG index, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetParamName(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE GetValueText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE SetValueText(BSTR text) override;
    HRESULT STDMETHODCALLTYPE GetDisplaySuffix(BSTR* suffix) override;
    HRESULT STDMETHODCALLTYPE GetDataType(LONG* type) override;
    HRESULT STDMETHODCALLTYPE GetInputKind(LONG* kind) override;
    HRESULT STDMETHODCALLTYPE GetObscureIntA(LONG* value) override;
    HRESULT STDMETHODCALLTYPE GetParamId(LONG* id) override;
    HRESULT STDMETHODCALLTYPE GetMaxValueText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetMinValueText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetStartByte(LONG* start) override;
    HRESULT STDMETHODCALLTYPE GetByteCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetBitIndex(LONG* index) override;
    HRESULT STDMETHODCALLTYPE SetExplainCode(USHORT code) override;
    HRESULT STDMETHODCALLTYPE GetBitMode(LONG* mode) override;
    HRESULT STDMETHODCALLTYPE GetObscureText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetHexEncoded(VARIANT_BOOL* hexEncoded) override;
    HRESULT STDMETHODCALLTYPE GetOptionCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetBitText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE SetBitText(BSTR text) override;
    HRESULT STDMETHODCALLTYPE GetObscureIntB(LONG* value) override;
    HRESULT STDMETHODCALLTYPE GetObscureByteA(BYTE* value) override;
    HRESULT STDMETHODCALLTYPE GetObscureByteB(BYTE* value) override;
    HRESULT STDMETHODCALLTYPE SetDisplayText(BSTR text) override;

#define FAKE_PARAM_RESERVED(n) \
    HRESULT STDMETHODCALLTYPE Reserved##n() override { return Unexpected(L"Reserved" #n); }
    FAKE_PARAM_RESERVED(05) FAKE_PARAM_RESERVED(06) FAKE_PARAM_RESERVED(07) FAKE_PARAM_RESERVED(09)
    FAKE_PARAM_RESERVED(13) FAKE_PARAM_RESERVED(14) FAKE_PARAM_RESERVED(15) FAKE_PARAM_RESERVED(16)
    FAKE_PARAM_RESERVED(18) FAKE_PARAM_RESERVED(19) FAKE_PARAM_RESERVED(21) FAKE_PARAM_RESERVED(23)
    FAKE_PARAM_RESERVED(24) FAKE_PARAM_RESERVED(25) FAKE_PARAM_RESERVED(27) FAKE_PARAM_RESERVED(29)
    FAKE_PARAM_RESERVED(31) FAKE_PARAM_RESERVED(32) FAKE_PARAM_RESERVED(33) FAKE_PARAM_RESERVED(34)
    FAKE_PARAM_RESERVED(35) FAKE_PARAM_RESERVED(37) FAKE_PARAM_RESERVED(39) FAKE_PARAM_RESERVED(41)
    FAKE_PARAM_RESERVED(42) FAKE_PARAM_RESERVED(45) FAKE_PARAM_RESERVED(46) FAKE_PARAM_RESERVED(47)
    FAKE_PARAM_RESERVED(49) FAKE_PARAM_RESERVED(51) FAKE_PARAM_RESERVED(52) FAKE_PARAM_RESERVED(53)
    FAKE_PARAM_RESERVED(55) FAKE_PARAM_RESERVED(59) FAKE_PARAM_RESERVED(61) FAKE_PARAM_RESERVED(63)
    FAKE_PARAM_RESERVED(64) FAKE_PARAM_RESERVED(66) FAKE_PARAM_RESERVED(67) FAKE_PARAM_RESERVED(68)
    FAKE_PARAM_RESERVED(69) FAKE_PARAM_RESERVED(70) FAKE_PARAM_RESERVED(71) FAKE_PARAM_RESERVED(72)
    FAKE_PARAM_RESERVED(73) FAKE_PARAM_RESERVED(74) FAKE_PARAM_RESERVED(75) FAKE_PARAM_RESERVED(76)
    FAKE_PARAM_RESERVED(77) FAKE_PARAM_RESERVED(78) FAKE_PARAM_RESERVED(79)
#undef FAKE_PARAM_RESERVED

private:
    struct Failure {
        HRESULT result;
        std::wstring description;
    };

    // Records the call and answers the failure set for it, or S_OK.
    HRESULT Record(const wchar_t* method, const std::wstring* argument = nullptr);
    HRESULT Unexpected(const wchar_t* method);
    HRESULT Text(const wchar_t* method, const std::wstring& value, BSTR* out);
    template <typename T>
    HRESULT Number(const wchar_t* method, T value, T* out);
    HRESULT Store(const wchar_t* method, BSTR text, std::wstring& into);

    std::map<std::wstring, Failure> FFailures;
    LONG FReferences = 1;
};
