#include "transactor/RecordingParam.h"

#include "util/CaptureFormat.h"

namespace {

constexpr unsigned SlotOf(std::string_view method) { return ParamMethodSlot(method); }

}  // namespace

RecordingParam* RecordingParam::Create(IParam& host, CaptureRecordBuilder& record) {
    return new RecordingParam(host, record);
}

RecordingParam::RecordingParam(IParam& host, CaptureRecordBuilder& record) noexcept
    : FHost(host), FRecord(&record), FThread(GetCurrentThreadId()) {
    FHost.AddRef();
}

RecordingParam::~RecordingParam() { FHost.Release(); }

HRESULT RecordingParam::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IParam)) {
        *object = static_cast<IParam*>(this);
        AddRef();
        return S_OK;
    }
    return FHost.QueryInterface(iid, object);
}

ULONG RecordingParam::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&FReferences)); }

ULONG RecordingParam::Release() {
    const LONG left = InterlockedDecrement(&FReferences);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

void RecordingParam::Note(unsigned slot, LONG result, LONG argument, LONG number) noexcept {
    if (!Noting()) return;
    try {
        FRecord->BeginItem(CaptureTag::HostCall);
        FRecord->AppendNumber(static_cast<uint16_t>(slot));
        FRecord->AppendNumber(static_cast<uint16_t>(CaptureValueKind::Number));
        FRecord->AppendNumber(static_cast<int32_t>(result));
        FRecord->AppendNumber(static_cast<int32_t>(argument));
        FRecord->AppendNumber(static_cast<int32_t>(number));
        FRecord->EndItem();
    } catch (...) {
        FRecord = nullptr;
    }
}

void RecordingParam::Note(unsigned slot, LONG result, LONG argument, BSTR text) noexcept {
    if (!Noting()) return;
    try {
        FRecord->BeginItem(CaptureTag::HostCall);
        FRecord->AppendNumber(static_cast<uint16_t>(slot));
        FRecord->AppendNumber(static_cast<uint16_t>(text ? CaptureValueKind::Text : CaptureValueKind::None));
        FRecord->AppendNumber(static_cast<int32_t>(result));
        FRecord->AppendNumber(static_cast<int32_t>(argument));
        if (text) FRecord->Append(text, SysStringLen(text) * sizeof(wchar_t));
        FRecord->EndItem();
    } catch (...) {
        FRecord = nullptr;
    }
}

void RecordingParam::NoteBare(unsigned slot, LONG result) noexcept { Note(slot, result, 0, BSTR{}); }

void RecordingParam::Remember(unsigned slot, HRESULT result, LONG value) noexcept {
    if (FAILED(result) || !Noting()) return;
    if (slot == SlotOf("GetParamId")) FParamId = value;
    if (slot == SlotOf("GetStartByte")) FStartByte = value;
    if (slot == SlotOf("GetByteCount")) FByteCount = value;
}

template <typename Value>
HRESULT RecordingParam::Get(unsigned slot, HRESULT (STDMETHODCALLTYPE IParam::*getter)(Value*), Value* value) {
    const HRESULT result = (FHost.*getter)(value);
    if constexpr (std::is_same_v<Value, BSTR>) {
        Note(slot, result, 0, SUCCEEDED(result) && value ? *value : BSTR{});
    } else {
        const LONG number = SUCCEEDED(result) && value ? static_cast<LONG>(*value) : 0;
        Note(slot, result, 0, number);
        Remember(slot, result, number);
    }
    return result;
}

#define RECORDING_PARAM_GETTER(method, Value, field) \
    HRESULT RecordingParam::method(Value* value) { return Get(SlotOf(#method), &IParam::method, value); }
FOR_EACH_PARAM_GETTER(RECORDING_PARAM_GETTER)
#undef RECORDING_PARAM_GETTER

#define RECORDING_PARAM_TEXT_SETTER(method, target)    \
    HRESULT RecordingParam::method(BSTR text) {         \
        const HRESULT result = FHost.method(text);      \
        Note(SlotOf(#method), result, 0, text);         \
        return result;                                  \
    }
FOR_EACH_PARAM_TEXT_SETTER(RECORDING_PARAM_TEXT_SETTER)
#undef RECORDING_PARAM_TEXT_SETTER

HRESULT RecordingParam::SetExplainCode(USHORT code) {
    const HRESULT result = FHost.SetExplainCode(code);
    Note(SlotOf("SetExplainCode"), result, 0, static_cast<LONG>(code));
    return result;
}

VARIANT_BOOL RecordingParam::CheckValueText(BSTR text) {
    const VARIANT_BOOL accepted = FHost.CheckValueText(text);
    Note(SlotOf("CheckValueText"), accepted, 0, text);
    return accepted;
}

LONG RecordingParam::GetOptionText(LONG index, BSTR* text) {
    const LONG result = FHost.GetOptionText(index, text);
    Note(SlotOf("GetOptionText"), result, index, text ? *text : BSTR{});
    return result;
}

#define RECORDING_PARAM_RESERVED(n)                        \
    HRESULT RecordingParam::Reserved##n() {                \
        const HRESULT result = FHost.Reserved##n();        \
        NoteBare(SlotOf("Reserved" #n), result);           \
        return result;                                     \
    }
FOR_EACH_RESERVED_PARAM_METHOD(RECORDING_PARAM_RESERVED)
#undef RECORDING_PARAM_RESERVED
