#include "common/CommandLineParam.h"

#include "util/SrwLockGuard.h"

#include <string_view>

namespace {

std::wstring_view View(BSTR text) { return {text ? text : L"", SysStringLen(text)}; }

std::wstring Quoted(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

// What the getters answer before the component writes anything.
ParamValues HeldValues(const ParamSettings& settings) {
    ParamValues held;
    held.ParamId = settings.paramId;
    held.StartByte = settings.startByte;
    held.ByteCount = settings.byteCount;
    held.HexEncoded = settings.hexEncoded ? VARIANT_TRUE : VARIANT_FALSE;
    held.BitMode = settings.bitMode;
    held.BitIndex = settings.bitIndex;
    held.DisplaySuffix = settings.displaySuffix;
    held.BitText = settings.bitText;
    held.ValueText = settings.valueText;
    held.ObscureText = settings.obscureText;
    held.ObscureIntA = settings.obscureIntA;
    held.ObscureIntB = settings.obscureIntB;
    held.ObscureByteA = settings.obscureByteA;
    held.ObscureByteB = settings.obscureByteB;
    held.ParamName = settings.paramName;
    held.InputKind = settings.inputKind;
    held.MinValueText = settings.minValueText;
    held.MaxValueText = settings.maxValueText;
    held.Options = settings.options;
    held.OptionCount = static_cast<LONG>(settings.options.size());
    held.DataType = settings.dataType;
    return held;
}

}  // namespace

CommandLineParam::CommandLineParam(const ParamSettings& settings)
    : FHeld(HeldValues(settings)), FAcceptRule(settings.acceptRule) {}

void CommandLineParam::Note(std::wstring call) {
    const SrwLockGuard lock(FNotesLock);
    if (FNotesPaused) return;
    if (GetCurrentThreadId() != FOwnThread) FCallsFromOtherThreads.push_back(call);
    FCalls.push_back(std::move(call));
}

std::vector<std::wstring> CommandLineParam::Calls() const {
    const SrwLockGuard lock(FNotesLock);
    return FCalls;
}

size_t CommandLineParam::CallCount() const {
    const SrwLockGuard lock(FNotesLock);
    return FCalls.size();
}

std::vector<std::wstring> CommandLineParam::CallsFromOtherThreads() const {
    const SrwLockGuard lock(FNotesLock);
    return FCallsFromOtherThreads;
}

void CommandLineParam::PauseNotes(bool paused) {
    const SrwLockGuard lock(FNotesLock);
    FNotesPaused = paused;
}

ULONG CommandLineParam::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&FReferences)); }

ULONG CommandLineParam::Release() {
    const LONG left = InterlockedDecrement(&FReferences);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT CommandLineParam::Unexpected(const wchar_t* method) {
    Note(method);
    return E_NOTIMPL;
}

HRESULT CommandLineParam::Answer(const wchar_t* method, const std::wstring& value, BSTR* out) {
    Note(method);
    if (!out) return E_POINTER;
    *out = nullptr;
    if (value.empty()) return S_OK;
    *out = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CommandLineParam::Write(const wchar_t* method, ParamText target, BSTR text) {
    std::wstring& into = target == ParamText::Value ? FHeld.ValueText
                         : target == ParamText::Bit ? FHeld.BitText
                                                    : FDisplayText.emplace();
    into = View(text);
    Note(method + (L"(" + Quoted(into) + L")"));
    return S_OK;
}

HRESULT CommandLineParam::WriteExplainCode(USHORT code) {
    Note(L"SetExplainCode(" + std::to_wstring(code) + L")");
    FExplainCode = code;
    return S_OK;
}

VARIANT_BOOL CommandLineParam::Check(BSTR text) {
    Note(L"CheckValueText(" + Quoted(View(text)) + L")");
    return FAcceptRule.Accepts(View(text)) ? VARIANT_TRUE : VARIANT_FALSE;
}

LONG CommandLineParam::OptionText(LONG index, BSTR* text) {
    const bool known = index >= 0 && static_cast<size_t>(index) < FHeld.Options.size();
    const std::wstring method = L"GetOptionText(" + std::to_wstring(index) + L")";
    if (!known) {
        Note(method);
        if (text) *text = nullptr;
        return E_INVALIDARG;
    }
    return Answer(method.c_str(), FHeld.Options[static_cast<size_t>(index)], text);
}
