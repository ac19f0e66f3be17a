#include "fakes/FakeParam.h"

#include "fakes/Fault.h"

#include <wrl/client.h>

namespace {

std::wstring FromBstr(BSTR text) { return {text ? text : L"", SysStringLen(text)}; }

void SetErrorDescription(const std::wstring& description) {
    Microsoft::WRL::ComPtr<ICreateErrorInfo> created;
    if (FAILED(CreateErrorInfo(&created))) return;
    created->SetSource(const_cast<LPOLESTR>(L"FakeParam"));
    created->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(created.As(&info))) SetErrorInfo(0, info.Get());
}

}  // namespace

std::vector<std::wstring> FakeParam::CallNames() const {
    std::vector<std::wstring> names;
    for (const auto& call : Calls) names.push_back(call.substr(0, call.find(L'(')));
    return names;
}

void FakeParam::Fail(const std::wstring& method, HRESULT result, const std::wstring& description) {
    FFailures[method] = {result, description, nullptr};
}

void FakeParam::Fail(const std::wstring& method, HRESULT result, IErrorInfo& errorObject) {
    FFailures[method] = {result, L"", &errorObject};
}

void FakeParam::Crash(const std::wstring& method) { FCrashes.insert(method); }

HRESULT FakeParam::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IParam)) {
        *object = static_cast<IParam*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT FakeParam::Record(const wchar_t* method, const std::wstring* argument) {
    Calls.push_back(argument ? std::wstring(method) + L"(" + *argument + L")" : std::wstring(method));
    if (FCrashes.count(method)) {
        ++FFaults;
        WriteThroughNullPointer();
    }
    auto failure = FFailures.find(method);
    if (failure == FFailures.end()) return S_OK;
    if (!failure->second.description.empty()) SetErrorDescription(failure->second.description);
    if (failure->second.errorObject) SetErrorInfo(0, failure->second.errorObject);
    return failure->second.result;
}

HRESULT FakeParam::Unexpected(const wchar_t* method) {
    Calls.push_back(std::wstring(L"UNEXPECTED ") + method);
    return E_NOTIMPL;
}

HRESULT FakeParam::Text(const wchar_t* method, const std::wstring& value, BSTR* out) {
    const HRESULT result = Record(method);
    if (out) *out = value.empty() || FAILED(result) ? nullptr : SysAllocStringLen(value.data(), value.size());
    return result;
}

template <typename T>
HRESULT FakeParam::Number(const wchar_t* method, T value, T* out) {
    const HRESULT result = Record(method);
    if (out && SUCCEEDED(result)) *out = value;
    return result;
}

HRESULT FakeParam::Store(const wchar_t* method, BSTR text, std::wstring& into) {
    FArgument = FromBstr(text);
    const HRESULT result = Record(method, &FArgument);
    if (SUCCEEDED(result)) into = FArgument;
    return result;
}

VARIANT_BOOL FakeParam::CheckValueText(BSTR text) {
    FArgument = FromBstr(text);
    Record(L"CheckValueText", &FArgument);
    return AcceptValue(FArgument) ? VARIANT_TRUE : VARIANT_FALSE;
}

LONG FakeParam::GetOptionText(LONG index, BSTR* text) {
    const std::wstring argument = std::to_wstring(index);
    const HRESULT result = Record(L"GetOptionText", &argument);
    if (SUCCEEDED(result) && text && index >= 0 && static_cast<size_t>(index) < Options.size())
        *text = SysAllocString(Options[static_cast<size_t>(index)].c_str());
    return result;
}

HRESULT FakeParam::GetParamName(BSTR* name) { return Text(L"GetParamName", ParamName, name); }
HRESULT FakeParam::GetValueText(BSTR* text) { return Text(L"GetValueText", ValueText, text); }
HRESULT FakeParam::SetValueText(BSTR text) { return Store(L"SetValueText", text, SetValue); }
HRESULT FakeParam::GetDisplaySuffix(BSTR* suffix) { return Text(L"GetDisplaySuffix", DisplaySuffix, suffix); }
HRESULT FakeParam::GetDataType(LONG* type) { return Number(L"GetDataType", DataType, type); }
HRESULT FakeParam::GetInputKind(LONG* kind) { return Number(L"GetInputKind", InputKind, kind); }
HRESULT FakeParam::GetObscureIntA(LONG* value) { return Number(L"GetObscureIntA", ObscureIntA, value); }
HRESULT FakeParam::GetParamId(LONG* id) { return Number(L"GetParamId", ParamId, id); }
HRESULT FakeParam::GetMaxValueText(BSTR* text) { return Text(L"GetMaxValueText", MaxValueText, text); }
HRESULT FakeParam::GetMinValueText(BSTR* text) { return Text(L"GetMinValueText", MinValueText, text); }
HRESULT FakeParam::GetStartByte(LONG* start) { return Number(L"GetStartByte", StartByte, start); }
HRESULT FakeParam::GetByteCount(LONG* count) { return Number(L"GetByteCount", ByteCount, count); }
HRESULT FakeParam::GetBitIndex(LONG* index) { return Number(L"GetBitIndex", BitIndex, index); }
HRESULT FakeParam::GetBitMode(LONG* mode) { return Number(L"GetBitMode", BitMode, mode); }
HRESULT FakeParam::GetObscureText(BSTR* text) { return Text(L"GetObscureText", ObscureText, text); }
HRESULT FakeParam::GetHexEncoded(VARIANT_BOOL* hex) { return Number(L"GetHexEncoded", HexEncoded, hex); }
HRESULT FakeParam::GetOptionCount(LONG* count) {
    if (OptionCountAnswers.empty()) return Number(L"GetOptionCount", OptionCount, count);
    const LONG answer = OptionCountAnswers.front();
    OptionCountAnswers.erase(OptionCountAnswers.begin());
    return Number(L"GetOptionCount", answer, count);
}
HRESULT FakeParam::GetBitText(BSTR* text) { return Text(L"GetBitText", BitText, text); }
HRESULT FakeParam::SetBitText(BSTR text) { return Store(L"SetBitText", text, SetBit); }
HRESULT FakeParam::GetObscureIntB(LONG* value) { return Number(L"GetObscureIntB", ObscureIntB, value); }
HRESULT FakeParam::GetObscureByteA(BYTE* value) { return Number(L"GetObscureByteA", ObscureByteA, value); }
HRESULT FakeParam::GetObscureByteB(BYTE* value) { return Number(L"GetObscureByteB", ObscureByteB, value); }
HRESULT FakeParam::SetDisplayText(BSTR text) { return Store(L"SetDisplayText", text, SetDisplay); }

HRESULT FakeParam::SetExplainCode(USHORT code) {
    const std::wstring argument = std::to_wstring(code);
    const HRESULT result = Record(L"SetExplainCode", &argument);
    if (SUCCEEDED(result)) SetCode = code;
    return result;
}
