#include "transactor/RecordingParam.h"

#include "util/CaptureFormat.h"

#include <cstring>

namespace {

// IParam's slots by name, worked out while compiling.
template <size_t Length>
consteval unsigned SlotOf(const char (&method)[Length]) {
    return ParamMethodSlot(std::string_view(method, Length - 1));
}


// One entry of the HostCalls item up to its value's text, made on the stack
// so that it is appended in one piece.
class EntryHead {
public:
    EntryHead(unsigned slot, CaptureValueKind kind, LONG result, LONG argument) noexcept {
        FBytes[0] = static_cast<char>(slot);
        FBytes[1] = static_cast<char>(static_cast<uint8_t>(kind) | (result ? CaptureResultFollows : 0));
        if (result) Add(result);
        if (slot == CaptureOptionTextSlot) Add(argument);
    }
    void Add(int32_t value) noexcept {
        std::memcpy(FBytes + FSize, &value, sizeof value);
        FSize += sizeof value;
    }
    void AppendTo(CaptureRecordBuilder& record) const { record.AppendFrom(FBytes, FSize); }

private:
    char FBytes[16];
    size_t FSize = 2;
};

// A text's length in UTF-16 units from the byte count before its first
// unit, as SysStringLen answers it, without a call into the system library
// on every noted text.
uint32_t TextLength(BSTR text) noexcept {
    uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<const char*>(text) - sizeof bytes, sizeof bytes);
    return bytes / sizeof(wchar_t);
}

}  // namespace

void RecordingParam::Attach(IParam& host, CaptureRecordBuilder& record) noexcept {
    ReleaseHost();
    FHost = &host;
    FHost->AddRef();
    FRecord = &record;
    FRecord->BeginItem(CaptureTag::HostCalls);
    FFailed = false;
    FThread = CurrentThreadId();
    FParamId.reset();
    FStartByte.reset();
    FByteCount.reset();
}

void RecordingParam::Detach() noexcept {
    if (FRecord) FRecord->EndItem();
    FRecord = nullptr;
}

void RecordingParam::ReleaseHost() noexcept {
    if (FHost) FHost->Release();
    FHost = nullptr;
}

HRESULT RecordingParam::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IParam)) {
        *object = static_cast<IParam*>(this);
        AddRef();
        return S_OK;
    }
    return FHost->QueryInterface(iid, object);
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
        EntryHead entry(slot, CaptureValueKind::Number, result, argument);
        entry.Add(number);
        entry.AppendTo(*FRecord);
    } catch (...) {
        FRecord = nullptr;
        FFailed = true;
    }
}

void RecordingParam::Note(unsigned slot, LONG result, LONG argument, BSTR text) noexcept {
    if (!Noting()) return;
    try {
        EntryHead entry(slot, text ? CaptureValueKind::Text : CaptureValueKind::None, result, argument);
        const uint32_t length = text ? TextLength(text) : 0;
        if (text) entry.Add(static_cast<int32_t>(length));
        entry.AppendTo(*FRecord);
        if (length) FRecord->Append(text, length * sizeof(wchar_t));
    } catch (...) {
        FRecord = nullptr;
        FFailed = true;
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
    const HRESULT result = (FHost->*getter)(value);
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
        const HRESULT result = FHost->method(text);      \
        Note(SlotOf(#method), result, 0, text);         \
        return result;                                  \
    }
FOR_EACH_PARAM_TEXT_SETTER(RECORDING_PARAM_TEXT_SETTER)
#undef RECORDING_PARAM_TEXT_SETTER

HRESULT RecordingParam::SetExplainCode(USHORT code) {
    const HRESULT result = FHost->SetExplainCode(code);
    Note(SlotOf("SetExplainCode"), result, 0, static_cast<LONG>(code));
    return result;
}

VARIANT_BOOL RecordingParam::CheckValueText(BSTR text) {
    const VARIANT_BOOL accepted = FHost->CheckValueText(text);
    Note(SlotOf("CheckValueText"), accepted, 0, text);
    return accepted;
}

LONG RecordingParam::GetOptionText(LONG index, BSTR* text) {
    const LONG result = FHost->GetOptionText(index, text);
    Note(SlotOf("GetOptionText"), result, index, text ? *text : BSTR{});
    return result;
}

#define RECORDING_PARAM_RESERVED(n)                        \
    HRESULT RecordingParam::Reserved##n() {                \
        const HRESULT result = FHost->Reserved##n();        \
        NoteBare(SlotOf("Reserved" #n), result);           \
        return result;                                     \
    }
FOR_EACH_RESERVED_PARAM_METHOD(RECORDING_PARAM_RESERVED)
#undef RECORDING_PARAM_RESERVED
