#pragma once
// Records one operation of the transactor while capture is on
// (capture/CaptureSwitch.h): what the host passed, every call on the
// parameter object (through a RecordingParam handed to the operation in
// place of the host's), which library the slot holds, the results and the
// duration. Nothing here fails the operation: a record that cannot be made
// is dropped, and a fault while reading the host's data ends the record,
// not the call.

#include "contracts/Vantrel_TLB.h"
#include "transactor/ExtensionSlot.h"
#include "transactor/RecordingParam.h"
#include "util/CaptureRecordBuilder.h"

#include <windows.h>

#include <atomic>
#include <optional>

// What a transactor keeps from one captured call to the next, so that a call
// allocates nothing: the record's memory and a recording parameter object
// nobody kept. Lent to one call at a time; a call that finds it lent (a call
// inside a call, or on another thread) makes its own.
class CaptureScratch {
public:
    CaptureScratch() noexcept = default;
    CaptureScratch(const CaptureScratch&) = delete;
    CaptureScratch& operator=(const CaptureScratch&) = delete;
    ~CaptureScratch() {
        if (FSpare) FSpare->Release();
    }

private:
    friend class OperationCapture;
    std::atomic<bool> FLent{false};
    CaptureRecordBuilder FRecord{CaptureCallKind};
    RecordingParam* FSpare = nullptr;
};

class OperationCapture {
public:
    OperationCapture(CaptureOperation operation, IParam* host, CaptureScratch& scratch) noexcept;
    OperationCapture(const OperationCapture&) = delete;
    OperationCapture& operator=(const OperationCapture&) = delete;
    ~OperationCapture();

    // What the operation is to call instead of the host's object.
    IParam* Param() const noexcept { return FRecording ? static_cast<IParam*>(FRecording) : FHost; }

    // Each adds what the host passed in or holds after the call and submits
    // the record (the last step).
    void FinishExplain(const ExtensionSlot& slot, const VARIANT& data, LONG dataLength, HRESULT result,
                       const LONG* status) noexcept;
    void FinishObscure(const ExtensionSlot& slot, const VARIANT* data, HRESULT result, const LONG* status) noexcept;
    void FinishEdit(const ExtensionSlot& slot, const BSTR* value, HRESULT result, const LONG* status) noexcept;

private:
    void Start(CaptureOperation operation);
    template <typename Details>
    void Finish(const ExtensionSlot& slot, HRESULT result, const LONG* status, Details details) noexcept;
    void AddCommon(const ExtensionSlot& slot, HRESULT result, const LONG* status);
    void AddFrame(const VARIANT& data);
    void AddDigits(const VARIANT& data);

    IParam* FHost;
    CaptureScratch* FScratch = nullptr;  // when lent to this call
    std::optional<CaptureRecordBuilder> FOwnRecord;
    CaptureRecordBuilder* FRecord = nullptr;
    RecordingParam* FRecording = nullptr;
    uint64_t FStartTicks = 0;
};
