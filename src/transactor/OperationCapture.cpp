#include "transactor/OperationCapture.h"

#include "capture/CaptureClock.h"
#include "capture/CaptureSwitch.h"
#include "capture/LibraryIdentity.h"
#include "guard/FaultGuard.h"
#include "transactor/FrameField.h"

#include <algorithm>
#include <climits>
#include <string_view>
#include <utility>

namespace {

void AddCounted(CaptureRecordBuilder& record, CaptureTag tag, LONG first, std::string_view bytes) {
    record.BeginItem(tag);
    record.AppendNumber(static_cast<int32_t>(first));
    record.Append(bytes.data(), bytes.size());
    record.EndItem();
}

// The low bytes of the elements `first` to `first + count - 1`, in an item
// after that first index. The elements of a byte array are copied straight
// from the host's memory: the record is made under the fault guard, which
// drops it when that faults, and no lock or buffer is taken here that the
// fault would leave behind.
void AddElements(CaptureRecordBuilder& record, CaptureTag tag, const VARIANT& data, LONG first, LONG count) {
    if (const char* bytes = ContiguousFrameBytes(data, first, count)) {
        AddCounted(record, tag, first, {bytes, static_cast<size_t>(count)});
        return;
    }
    const FrameField elements(data, first + 1, count);
    AddCounted(record, tag, first, elements.Bytes());
}

}  // namespace

// Without memory for the record, the operation runs on the host's object
// and is not recorded.
OperationCapture::OperationCapture(CaptureOperation operation, IParam* host, CaptureScratch& scratch) noexcept
    : FHost(host) {
    if (!FHost) return;
    if (!scratch.FLent.exchange(true, std::memory_order_acquire)) FScratch = &scratch;
    try {
        Start(operation);
    } catch (...) {
    }
}

void OperationCapture::Start(CaptureOperation operation) {
    FStartTicks = CaptureClock::Ticks();
    if (FScratch) {
        FRecord = &FScratch->FRecord;
        FRecord->Restart(CaptureCallKind);
        FRecording = std::exchange(FScratch->FSpare, nullptr);
    } else {
        FRecord = &FOwnRecord.emplace(CaptureCallKind);
    }
    FRecord->Reserve(1024);
    FRecord->AddU32(CaptureTag::ProcessId, GetCurrentProcessId());
    FRecord->AddU32(CaptureTag::Operation, static_cast<uint32_t>(operation));
    if (!FRecording) FRecording = RecordingParam::Create();
    FRecording->Attach(*FHost, *FRecord);
}

// A recording object nobody kept is kept for the next call.
OperationCapture::~OperationCapture() {
    if (FRecording) {
        FRecording->Detach();
        if (FScratch && FRecording->Alone()) {
            FRecording->ReleaseHost();
            FScratch->FSpare = FRecording;
        } else {
            FRecording->Release();
        }
    }
    if (FScratch) FScratch->FLent.store(false, std::memory_order_release);
}

void OperationCapture::FinishExplain(const ExtensionSlot& slot, const VARIANT& data, LONG dataLength, HRESULT result,
                                     const LONG* status) noexcept {
    Finish(slot, result, status, [&] {
        FRecord->AddI32(CaptureTag::DataLength, dataLength);
        AddFrame(data);
    });
}

void OperationCapture::FinishObscure(const ExtensionSlot& slot, const VARIANT* data, HRESULT result,
                                     const LONG* status) noexcept {
    Finish(slot, result, status, [&] {
        if (data && SUCCEEDED(result)) AddDigits(*data);
    });
}

void OperationCapture::FinishEdit(const ExtensionSlot& slot, const BSTR* value, HRESULT result,
                                  const LONG* status) noexcept {
    Finish(slot, result, status, [&] {
        if (value && SUCCEEDED(result) && status && *status == 0)
            FRecord->AddText(CaptureTag::EditValue, {*value ? *value : L"", SysStringLen(*value)});
    });
}

// Everything that reads the host's data runs under the fault guard; the
// record is dropped when anything fails.
template <typename Details>
void OperationCapture::Finish(const ExtensionSlot& slot, HRESULT result, const LONG* status, Details details) noexcept {
    if (!FRecording) return;
    FRecording->Detach();
    if (FRecording->Failed()) return;
    auto build = [&]() noexcept -> int32_t {
        try {
            std::optional<LONG> paramId = FRecording->ParamId();
            LONG asked = 0;
            if (!paramId && SUCCEEDED(FHost->GetParamId(&asked))) paramId = asked;
            if (paramId) FRecord->AddI32(CaptureTag::ParamId, *paramId);
            details();
            AddCommon(slot, result, status);
            SubmitCaptureRecord(paramId, FRecord->Finish());
        } catch (...) {
        }
        return 0;
    };
    RunUnderFaultGuard(build);
}

void OperationCapture::AddCommon(const ExtensionSlot& slot, HRESULT result, const LONG* status) {
    const uint64_t endTicks = CaptureClock::Ticks();
    FRecord->AddU64(CaptureTag::Time, GCaptureClock.FileTime(FStartTicks));
    FRecord->AddU32(CaptureTag::Duration, GCaptureClock.HundredsOfNanoseconds(FStartTicks, endTicks));
    FRecord->AddText(CaptureTag::LibraryPath, slot.PathView());
    if (slot.IsConfigured()) {
        const LibraryIdentity identity = IdentifyLibrary(std::wstring(slot.PathView()));
        FRecord->AddText(CaptureTag::LibraryVersion, identity.version);
        FRecord->AddU64(CaptureTag::LibraryHash, identity.hash);
    }
    if (status) FRecord->AddI32(CaptureTag::Status, *status);
    FRecord->AddI32(CaptureTag::Result, result);
}

// The frame's shape and its bytes: all of them for a small frame, else the
// field the operation read. The descriptor's fields are read directly, as
// SafeArrayGetDim and SafeArrayGetLBound answer them (the first dimension's
// bounds are the last in memory): every captured Explain reads them.
void OperationCapture::AddFrame(const VARIANT& data) {
    const SAFEARRAY* array = FrameArrayOf(data);
    const LONG dimensions = array ? array->cDims : 0;
    LONG lower = 0, elements = 0;
    if (dimensions >= 1) {
        const SAFEARRAYBOUND& first = array->rgsabound[dimensions - 1];
        lower = first.lLbound;
        elements = static_cast<LONG>(std::min<ULONG>(first.cElements, LONG_MAX));
    }
    FRecord->BeginItem(CaptureTag::FrameShape);
    FRecord->AppendNumber(static_cast<uint32_t>(V_VT(&data)));
    FRecord->AppendNumber(static_cast<int32_t>(dimensions));
    FRecord->AppendNumber(static_cast<int32_t>(lower));
    FRecord->AppendNumber(static_cast<int32_t>(elements));
    FRecord->EndItem();
    if (dimensions != 1 || elements == 0) return;
    LONG first = lower, count = elements;
    if (elements > CaptureWholeFrameElements) {
        if (!FRecording->StartByte() || !FRecording->ByteCount()) return;
        const int64_t from = std::max<int64_t>(int64_t{*FRecording->StartByte()} - 1, lower);
        const int64_t to = std::min<int64_t>(int64_t{*FRecording->StartByte()} - 1 + *FRecording->ByteCount(),
                                             int64_t{lower} + elements);
        if (from >= to) return;
        first = static_cast<LONG>(from);
        count = static_cast<LONG>(to - from);
    }
    try {
        AddElements(*FRecord, CaptureTag::FrameBytes, data, first, count);
    } catch (...) {
        // Elements that are no numbers: the shape alone is recorded.
    }
}

void OperationCapture::AddDigits(const VARIANT& data) {
    SAFEARRAY* array = FrameArrayOf(data);
    LONG lower = 0, upper = -1;
    if (!array || SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, 1, &upper)))
        return;
    AddElements(*FRecord, CaptureTag::Digits, data, lower, upper - lower + 1);
}
