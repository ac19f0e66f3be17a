#include "capture/RecordedParam.h"

#include "util/UniqueBstr.h"

namespace {

std::string Narrow(const wchar_t* method) {
    std::string name;
    for (const wchar_t* c = method; *c; ++c) name += static_cast<char>(*c);
    return name;
}

unsigned SlotOf(const wchar_t* method) { return ParamMethodSlot(Narrow(method)); }

// The getter that reads back what a setter wrote, 0 for none.
unsigned ReadBackSlot(ParamText target) {
    switch (target) {
        case ParamText::Value: return ParamMethodSlot("GetValueText");
        case ParamText::Bit: return ParamMethodSlot("GetBitText");
        case ParamText::Display: return 0;
    }
    return 0;
}

std::wstring TextOf(BSTR text) { return std::wstring(text ? text : L"", SysStringLen(text)); }

}  // namespace

RecordedParam::RecordedParam(const std::vector<CapturedHostCall>& recorded) {
    for (const CapturedHostCall& call : recorded) FAnswers[call.slot].push_back(&call);
}

const CapturedHostCall* RecordedParam::NextAnswer(const wchar_t* method) {
    const unsigned slot = SlotOf(method);
    const auto found = FAnswers.find(slot);
    if (found == FAnswers.end()) {
        if (!FUnanswered) FUnanswered = Narrow(method);
        return nullptr;
    }
    size_t& asked = FAsked[slot];
    const CapturedHostCall* answer = found->second[std::min(asked, found->second.size() - 1)];
    ++asked;
    return answer;
}

HRESULT RecordedParam::Answer(const wchar_t* method, const std::wstring&, BSTR* out) {
    const unsigned slot = SlotOf(method);
    if (const auto held = FHeld.find(slot); held != FHeld.end()) {
        if (out) *out = UniqueBstr::Copy(held->second).Release();
        Note({slot, S_OK, 0, CaptureValueKind::Text, 0, held->second});
        return S_OK;
    }
    const CapturedHostCall* answer = NextAnswer(method);
    if (!answer) return E_NOTIMPL;
    if (out && SUCCEEDED(answer->result))
        *out = answer->kind == CaptureValueKind::Text ? UniqueBstr::Copy(answer->text).Release() : nullptr;
    Note(*answer);
    return answer->result;
}

HRESULT RecordedParam::Write(const wchar_t* method, ParamText target, BSTR text) {
    const std::wstring written = TextOf(text);
    if (const unsigned readBack = ReadBackSlot(target)) FHeld[readBack] = written;
    Note({SlotOf(method), S_OK, 0, CaptureValueKind::Text, 0, written});
    return S_OK;
}

HRESULT RecordedParam::WriteExplainCode(USHORT code) {
    Note({ParamMethodSlot("SetExplainCode"), S_OK, 0, CaptureValueKind::Number, code, {}});
    return S_OK;
}

VARIANT_BOOL RecordedParam::Check(BSTR text) {
    const CapturedHostCall* answer = NextAnswer(L"CheckValueText");
    Note({ParamMethodSlot("CheckValueText"), answer ? answer->result : VARIANT_FALSE, 0, CaptureValueKind::Text, 0,
          TextOf(text)});
    return answer ? static_cast<VARIANT_BOOL>(answer->result) : VARIANT_FALSE;
}

LONG RecordedParam::OptionText(LONG, BSTR* text) {
    const CapturedHostCall* answer = NextAnswer(L"GetOptionText");
    if (!answer) return 0;
    if (text) *text = UniqueBstr::Copy(answer->text).Release();
    Note(*answer);
    return answer->result;
}

HRESULT RecordedParam::Unexpected(const wchar_t* method) {
    const CapturedHostCall* answer = NextAnswer(method);
    if (!answer) return E_NOTIMPL;
    Note(*answer);
    return answer->result;
}
