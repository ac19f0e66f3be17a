#include "CommandLineParam.h"

#include <string_view>

namespace {

std::wstring_view View(BSTR text) { return {text ? text : L"", SysStringLen(text)}; }

std::wstring Quoted(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) noexcept : FLock(lock) { AcquireSRWLockExclusive(&FLock); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&FLock); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& FLock;
};

}  // namespace

void CommandLineParam::Note(std::wstring call) {
    const ExclusiveLock lock(FNotesLock);
    if (FNotesPaused) return;
    if (GetCurrentThreadId() != FOwnThread) FCallsFromOtherThreads.push_back(call);
    FCalls.push_back(std::move(call));
}

std::vector<std::wstring> CommandLineParam::Calls() const {
    const ExclusiveLock lock(FNotesLock);
    return FCalls;
}

size_t CommandLineParam::CallCount() const {
    const ExclusiveLock lock(FNotesLock);
    return FCalls.size();
}

std::vector<std::wstring> CommandLineParam::CallsFromOtherThreads() const {
    const ExclusiveLock lock(FNotesLock);
    return FCallsFromOtherThreads;
}

void CommandLineParam::PauseNotes(bool paused) {
    const ExclusiveLock lock(FNotesLock);
    FNotesPaused = paused;
}

HRESULT CommandLineParam::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == __uuidof(IParam)) {
        *object = static_cast<IParam*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CommandLineParam::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&FReferences)); }

ULONG CommandLineParam::Release() {
    const LONG left = InterlockedDecrement(&FReferences);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT CommandLineParam::NotForTheComponent(const wchar_t* method) {
    Note(method);
    return E_NOTIMPL;
}

HRESULT CommandLineParam::AnswerText(const wchar_t* method, const std::wstring& value, BSTR* out) {
    Note(method);
    if (!out) return E_POINTER;
    *out = nullptr;
    if (value.empty()) return S_OK;
    *out = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

template <typename Value>
HRESULT CommandLineParam::AnswerNumber(const wchar_t* method, Value value, Value* out) {
    Note(method);
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

HRESULT CommandLineParam::Keep(const wchar_t* method, BSTR text, std::wstring& into) {
    into = View(text);
    Note(method + (L"(" + Quoted(into) + L")"));
    return S_OK;
}

VARIANT_BOOL CommandLineParam::CheckValueText(BSTR text) {
    Note(L"CheckValueText(" + Quoted(View(text)) + L")");
    return FSettings.acceptRule.Accepts(View(text)) ? VARIANT_TRUE : VARIANT_FALSE;
}

LONG CommandLineParam::GetOptionText(LONG index, BSTR* text) {
    const bool known = index >= 0 && static_cast<size_t>(index) < FSettings.options.size();
    const std::wstring method = L"GetOptionText(" + std::to_wstring(index) + L")";
    if (!known) {
        Note(method);
        if (text) *text = nullptr;
        return E_INVALIDARG;
    }
    return AnswerText(method.c_str(), FSettings.options[static_cast<size_t>(index)], text);
}

HRESULT CommandLineParam::GetParamName(BSTR* name) { return AnswerText(L"GetParamName", FSettings.paramName, name); }
HRESULT CommandLineParam::GetValueText(BSTR* text) { return AnswerText(L"GetValueText", FSettings.valueText, text); }
HRESULT CommandLineParam::SetValueText(BSTR text) { return Keep(L"SetValueText", text, FSettings.valueText); }
HRESULT CommandLineParam::GetDisplaySuffix(BSTR* suffix) {
    return AnswerText(L"GetDisplaySuffix", FSettings.displaySuffix, suffix);
}
HRESULT CommandLineParam::GetDataType(LONG* type) { return AnswerNumber(L"GetDataType", FSettings.dataType, type); }
HRESULT CommandLineParam::GetInputKind(LONG* kind) { return AnswerNumber(L"GetInputKind", FSettings.inputKind, kind); }
HRESULT CommandLineParam::GetObscureIntA(LONG* value) {
    return AnswerNumber(L"GetObscureIntA", FSettings.obscureIntA, value);
}
HRESULT CommandLineParam::GetParamId(LONG* id) { return AnswerNumber(L"GetParamId", FSettings.paramId, id); }
HRESULT CommandLineParam::GetMaxValueText(BSTR* text) {
    return AnswerText(L"GetMaxValueText", FSettings.maxValueText, text);
}
HRESULT CommandLineParam::GetMinValueText(BSTR* text) {
    return AnswerText(L"GetMinValueText", FSettings.minValueText, text);
}
HRESULT CommandLineParam::GetStartByte(LONG* start) {
    return AnswerNumber(L"GetStartByte", FSettings.startByte, start);
}
HRESULT CommandLineParam::GetByteCount(LONG* count) {
    return AnswerNumber(L"GetByteCount", FSettings.byteCount, count);
}
HRESULT CommandLineParam::GetBitIndex(LONG* index) { return AnswerNumber(L"GetBitIndex", FSettings.bitIndex, index); }
HRESULT CommandLineParam::SetExplainCode(USHORT code) {
    Note(L"SetExplainCode(" + std::to_wstring(code) + L")");
    FExplainCode = code;
    return S_OK;
}
HRESULT CommandLineParam::GetBitMode(LONG* mode) { return AnswerNumber(L"GetBitMode", FSettings.bitMode, mode); }
HRESULT CommandLineParam::GetObscureText(BSTR* text) {
    return AnswerText(L"GetObscureText", FSettings.obscureText, text);
}
HRESULT CommandLineParam::GetHexEncoded(VARIANT_BOOL* hexEncoded) {
    return AnswerNumber(L"GetHexEncoded", FSettings.hexEncoded ? VARIANT_TRUE : VARIANT_FALSE, hexEncoded);
}
HRESULT CommandLineParam::GetOptionCount(LONG* count) {
    return AnswerNumber(L"GetOptionCount", static_cast<LONG>(FSettings.options.size()), count);
}
HRESULT CommandLineParam::GetBitText(BSTR* text) { return AnswerText(L"GetBitText", FSettings.bitText, text); }
HRESULT CommandLineParam::SetBitText(BSTR text) { return Keep(L"SetBitText", text, FSettings.bitText); }
HRESULT CommandLineParam::GetObscureIntB(LONG* value) {
    return AnswerNumber(L"GetObscureIntB", FSettings.obscureIntB, value);
}
HRESULT CommandLineParam::GetObscureByteA(BYTE* value) {
    return AnswerNumber(L"GetObscureByteA", FSettings.obscureByteA, value);
}
HRESULT CommandLineParam::GetObscureByteB(BYTE* value) {
    return AnswerNumber(L"GetObscureByteB", FSettings.obscureByteB, value);
}
HRESULT CommandLineParam::SetDisplayText(BSTR text) {
    FDisplayText.emplace();
    return Keep(L"SetDisplayText", text, *FDisplayText);
}
