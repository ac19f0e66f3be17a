#pragma once
// The parameter object an operation sees while it is captured: it passes
// every call on to the host's object unchanged and notes each one (method,
// argument, answer, result) in the capture record, in order, the calls of an
// extension included. An extension may keep the object beyond the call: it
// holds a reference to the host's object for as long as it lives and stops
// noting once the operation is over.

#include "contracts/ParamObject.h"
#include "util/CaptureRecordBuilder.h"

#include <windows.h>

#include <optional>

class RecordingParam final : public IParam {
public:
    // Starts with one reference, the caller's.
    static RecordingParam* Create(IParam& host, CaptureRecordBuilder& record);

    // Notes nothing more.
    void Detach() noexcept { FRecord = nullptr; }
    // What the host answered to the calls that shape the record, if asked.
    std::optional<LONG> ParamId() const noexcept { return FParamId; }
    std::optional<LONG> StartByte() const noexcept { return FStartByte; }
    std::optional<LONG> ByteCount() const noexcept { return FByteCount; }

    // IUnknown: IUnknown and IParam are this object, other interfaces the host's.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IParam
#define RECORDING_PARAM_GETTER(method, Value, field) HRESULT STDMETHODCALLTYPE method(Value* value) override;
    FOR_EACH_PARAM_GETTER(RECORDING_PARAM_GETTER)
#undef RECORDING_PARAM_GETTER
#define RECORDING_PARAM_TEXT_SETTER(method, target) HRESULT STDMETHODCALLTYPE method(BSTR text) override;
    FOR_EACH_PARAM_TEXT_SETTER(RECORDING_PARAM_TEXT_SETTER)
#undef RECORDING_PARAM_TEXT_SETTER
    HRESULT STDMETHODCALLTYPE SetExplainCode(USHORT code) override;
    VARIANT_BOOL STDMETHODCALLTYPE CheckValueText(BSTR text) override;
    LONG STDMETHODCALLTYPE GetOptionText(LONG index, BSTR* text) override;
#define RECORDING_PARAM_RESERVED(n) HRESULT STDMETHODCALLTYPE Reserved##n() override;
    FOR_EACH_RESERVED_PARAM_METHOD(RECORDING_PARAM_RESERVED)
#undef RECORDING_PARAM_RESERVED

private:
    RecordingParam(IParam& host, CaptureRecordBuilder& record) noexcept;
    ~RecordingParam();

    // Notes one call when it comes from the operation's thread.
    void Note(unsigned slot, LONG result, LONG argument, LONG number) noexcept;
    void Note(unsigned slot, LONG result, LONG argument, BSTR text) noexcept;
    void NoteBare(unsigned slot, LONG result) noexcept;
    bool Noting() const noexcept { return FRecord && GetCurrentThreadId() == FThread; }
    void Remember(unsigned slot, HRESULT result, LONG value) noexcept;
    template <typename Value>
    HRESULT Get(unsigned slot, HRESULT (STDMETHODCALLTYPE IParam::*getter)(Value*), Value* value);

    IParam& FHost;
    CaptureRecordBuilder* FRecord;
    DWORD FThread;
    LONG FReferences = 1;
    std::optional<LONG> FParamId, FStartByte, FByteCount;
};
