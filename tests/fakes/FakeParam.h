#pragma once
// A stand-in for the host's parameter object. It answers what a test sets,
// records every call in order (with its argument), and fails any method on
// command, with or without error information (its own or a given error
// object), or faults in it. Methods the component must never call are
// recorded as "UNEXPECTED <name>".

#include "contracts/ParamObject.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// What the getters answer is the ParamValues part: ParamName, StartByte,
// Options (GetOptionText(i) answers Options[i] when it exists) and so on.
class FakeParam final : public ParamObject<FakeParam>, public ParamValues {
public:
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
    // host that crashes inside the call would, with the x87 unit, the
    // direction flag and the callee-saved registers thrown about first.
    void Crash(const std::wstring& method);
    // The faults made on command so far.
    int Faults() const { return FFaults; }

    // References held by others (0 when everybody released what they took).
    LONG OutstandingReferences() const { return FReferences - 1; }

    FakeParam() = default;
    FakeParam(const FakeParam&) = delete;
    FakeParam& operator=(const FakeParam&) = delete;

    // IUnknown
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FReferences; }
    ULONG STDMETHODCALLTYPE Release() override { return --FReferences; }

    // IParam: GetOptionCount answers OptionCountAnswers first.
    HRESULT STDMETHODCALLTYPE GetOptionCount(LONG* count) override;

private:
    friend class ParamObject<FakeParam>;

    struct Failure {
        HRESULT result;
        std::wstring description;
        IErrorInfo* errorObject;
    };

    // For ParamObject.
    const ParamValues& Answers() const { return *this; }
    template <typename T>
    HRESULT Answer(const wchar_t* method, const T& value, T* out) {
        const HRESULT result = Record(method);
        if (out && SUCCEEDED(result)) *out = value;
        return result;
    }
    HRESULT Answer(const wchar_t* method, const std::wstring& value, BSTR* out);
    HRESULT Write(const wchar_t* method, ParamText target, BSTR text);
    HRESULT WriteExplainCode(USHORT code);
    VARIANT_BOOL Check(BSTR text);
    LONG OptionText(LONG index, BSTR* text);
    HRESULT Unexpected(const wchar_t* method);

    // Records the call and answers the failure set for it, or S_OK.
    HRESULT Record(const wchar_t* method, const std::wstring* argument = nullptr);

    // A text argument while its call is recorded: a member, so that a fault
    // on command abandons no memory of the fake's own.
    std::wstring FArgument;
    std::map<std::wstring, Failure> FFailures;
    std::set<std::wstring> FCrashes;
    LONG FReferences = 1;
    int FFaults = 0;
};
