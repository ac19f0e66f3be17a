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

HRESULT FakeParam::Record(const wchar_t* method, const std::wstring* argument) {
    Calls.push_back(argument ? std::wstring(method) + L"(" + *argument + L")" : std::wstring(method));
    if (FCrashes.count(method)) {
        ++FFaults;
        FaultWithProcessorStateDisturbed();
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

HRESULT FakeParam::Answer(const wchar_t* method, const std::wstring& value, BSTR* out) {
    const HRESULT result = Record(method);
    if (out) *out = value.empty() || FAILED(result) ? nullptr : SysAllocStringLen(value.data(), value.size());
    return result;
}

HRESULT FakeParam::Write(const wchar_t* method, ParamText target, BSTR text) {
    std::wstring& into = target == ParamText::Value ? SetValue : target == ParamText::Bit ? SetBit : SetDisplay;
    FArgument = FromBstr(text);
    const HRESULT result = Record(method, &FArgument);
    if (SUCCEEDED(result)) into = FArgument;
    return result;
}

VARIANT_BOOL FakeParam::Check(BSTR text) {
    FArgument = FromBstr(text);
    Record(L"CheckValueText", &FArgument);
    return AcceptValue(FArgument) ? VARIANT_TRUE : VARIANT_FALSE;
}

LONG FakeParam::OptionText(LONG index, BSTR* text) {
    const std::wstring argument = std::to_wstring(index);
    const HRESULT result = Record(L"GetOptionText", &argument);
    if (SUCCEEDED(result) && text && index >= 0 && static_cast<size_t>(index) < Options.size())
        *text = SysAllocString(Options[static_cast<size_t>(index)].c_str());
    return result;
}

HRESULT FakeParam::GetOptionCount(LONG* count) {
    if (OptionCountAnswers.empty()) return Answer(L"GetOptionCount", OptionCount, count);
    const LONG answer = OptionCountAnswers.front();
    OptionCountAnswers.erase(OptionCountAnswers.begin());
    return Answer(L"GetOptionCount", answer, count);
}

HRESULT FakeParam::WriteExplainCode(USHORT code) {
    const std::wstring argument = std::to_wstring(code);
    const HRESULT result = Record(L"SetExplainCode", &argument);
    if (SUCCEEDED(result)) SetCode = code;
    return result;
}
