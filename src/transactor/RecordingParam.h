#pragma once
// The parameter object an operation sees while it is captured: it passes
// every call on to the host's object unchanged and notes each one (method,
// argument, answer, result) in the capture record, in order, the calls of an
// extension included. An extension may keep the object beyond the call: it
// holds a reference to the host's object for as long as it lives and stops
// noting once the operation is over. One that nobody kept is attached to the
// next call's host object again, so that a captured call allocates nothing.

#include "contracts/ParamObject.h"
#include "util/CaptureRecordBuilder.h"

#include <windows.h>

#include <optional>

class RecordingParam final : public IParam {
public:
    // Starts with one reference, the caller's, and no host object.
    static RecordingParam* Create() { return new RecordingParam(); }

    // Passes calls to `host` (holding a reference) and notes them in `record`.
    void Attach(IParam& host, CaptureRecordBuilder& record) noexcept;
    // Ends the record's item of calls and notes nothing more.
    void Detach() noexcept;
    // True when the caller's reference is the only one left: then the host
    // object may be let go and the object attached again.
    bool Alone() const noexcept { return FReferences == 1; }
    void ReleaseHost() noexcept;
    // True when a call could not be noted (no memory): the record is incomplete.
    bool Failed() const noexcept { return FFailed; }
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
    RecordingParam() noexcept = default;
    ~RecordingParam() { ReleaseHost(); }

    // Notes one call when it comes from the operation's thread.
    void Note(unsigned slot, LONG result, LONG argument, LONG number) noexcept;
    void Note(unsigned slot, LONG result, LONG argument, BSTR text) noexcept;
    void NoteBare(unsigned slot, LONG result) noexcept;
    bool Noting() const noexcept { return FRecord && CurrentThreadId() == FThread; }
    // The thread's id from its thread environment block (fs:0x24 on x86),
    // as GetCurrentThreadId answers it, without the call.
    static DWORD CurrentThreadId() noexcept {
        DWORD id;
        asm("movl %%fs:0x24, %0" : "=r"(id));
        return id;
    }
    void Remember(unsigned slot, HRESULT result, LONG value) noexcept;
    template <typename Value>
    HRESULT Get(unsigned slot, HRESULT (STDMETHODCALLTYPE IParam::*getter)(Value*), Value* value);

    IParam* FHost = nullptr;
    CaptureRecordBuilder* FRecord = nullptr;
    DWORD FThread = 0;
    bool FFailed = false;
    LONG FReferences = 1;
    std::optional<LONG> FParamId, FStartByte, FByteCount;
};
