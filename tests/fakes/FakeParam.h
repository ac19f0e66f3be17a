#pragma once
// A stand-in for the host's parameter object. It answers what a test sets,
// records every call in order (with its argument), and fails any method on
// command, with or without error information (its own or a given error
// object), or faults in it. Methods the component must never call are
// recorded as "UNEXPECTED <name>".

#include "contracts/ParamReservedMethods.h"
#include "contracts/Vantrel_TLB.h"

#include <functional>
#include <map>
#include <set>
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
    // The same with the host's own error object as the thread's error information.
    void Fail(const std::wstring& method, HRESULT result, IErrorInfo& errorObject);

    // Makes every later call of `method` fault with an access violation, as a
    // host that crashes inside the call would.
    void Crash(const std::wstring& method);
    // The faults made on command so far.
    int Faults() const { return FFaults; }

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
    FOR_EACH_RESERVED_PARAM_METHOD(FAKE_PARAM_RESERVED)
#undef FAKE_PARAM_RESERVED

private:
    struct Failure {
        HRESULT result;
        std::wstring description;
        IErrorInfo* errorObject;
    };

    // Records the call and answers the failure set for it, or S_OK.
    HRESULT Record(const wchar_t* method, const std::wstring* argument = nullptr);
    HRESULT Unexpected(const wchar_t* method);
    HRESULT Text(const wchar_t* method, const std::wstring& value, BSTR* out);
    template <typename T>
    HRESULT Number(const wchar_t* method, T value, T* out);
    HRESULT Store(const wchar_t* method, BSTR text, std::wstring& into);

    // A text argument while its call is recorded: a member, so that a fault
    // on command abandons no memory of the fake's own.
    std::wstring FArgument;
    std::map<std::wstring, Failure> FFailures;
    std::set<std::wstring> FCrashes;
    LONG FReferences = 1;
    int FFaults = 0;
};
