#pragma once
// The parameter object this program hands to the component, as the host
// would: it answers from the command line's settings, keeps what the
// component writes into it (a later read returns what was written, as the
// host's own object does) and notes every call in order for --trace. An
// extension under check may call it from another thread, so the notes are
// kept under a lock, and calls from other threads are noted apart as well.

#include "HostRequest.h"

#include "contracts/ParamReservedMethods.h"
#include "contracts/Vantrel_TLB.h"

#include <optional>
#include <string>
#include <vector>

class CommandLineParam final : public IParam {
public:
    // Starts with no reference: hold it in a ComPtr at once.
    explicit CommandLineParam(ParamSettings settings) : FSettings(std::move(settings)) {}
    CommandLineParam(const CommandLineParam&) = delete;
    CommandLineParam& operator=(const CommandLineParam&) = delete;

    // What the host holds after the operation.
    const std::wstring& ValueText() const { return FSettings.valueText; }
    const std::wstring& BitText() const { return FSettings.bitText; }
    const std::optional<std::wstring>& DisplayText() const { return FDisplayText; }
    const std::optional<USHORT>& ExplainCode() const { return FExplainCode; }
    // Every call in order, e.g. L"GetStartByte", L"SetValueText(\"1234\")".
    std::vector<std::wstring> Calls() const;
    size_t CallCount() const;
    // The calls made on another thread than the one that created the object.
    std::vector<std::wstring> CallsFromOtherThreads() const;
    // While paused, calls are answered but not noted (calls repeated many times).
    void PauseNotes(bool paused);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IParam: the methods the component calls
    VARIANT_BOOL STDMETHODCALLTYPE CheckValueText(BSTR text) override;
    LONG STDMETHODCALLTYPE GetOptionText(LONG index, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetParamName(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE GetValueText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE SetValueText(BSTR text) override;
    HRESULT STDMETHODCALLTYPE GetDisplaySuffix(BSTR* suffix) override;
    HRESULT STDMETHODCALLTYPE GetDataType(LONG* type) override;
    HRESULT STDMETHODCALLTYPE GetInputKind(LONG* kind) override;
    HRESULT STDMETHODCALLTYPE GetObscureIntA(LONG* value) override;
    HRESULT STDMETHODCALLTYPE GetParamId(LONG* id) override;
    HRESULT STDMETHODCALLTYPE GetMaxValueText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetMinValueText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetStartByte(LONG* start) override;
    HRESULT STDMETHODCALLTYPE GetByteCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetBitIndex(LONG* index) override;
    HRESULT STDMETHODCALLTYPE SetExplainCode(USHORT code) override;
    HRESULT STDMETHODCALLTYPE GetBitMode(LONG* mode) override;
    HRESULT STDMETHODCALLTYPE GetObscureText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetHexEncoded(VARIANT_BOOL* hexEncoded) override;
    HRESULT STDMETHODCALLTYPE GetOptionCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetBitText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE SetBitText(BSTR text) override;
    HRESULT STDMETHODCALLTYPE GetObscureIntB(LONG* value) override;
    HRESULT STDMETHODCALLTYPE GetObscureByteA(BYTE* value) override;
    HRESULT STDMETHODCALLTYPE GetObscureByteB(BYTE* value) override;
    HRESULT STDMETHODCALLTYPE SetDisplayText(BSTR text) override;

    // IParam: the host's other methods, which the component has no business
    // calling; they are noted and answer E_NOTIMPL.
#define PARAM_HOST_RESERVED(n) \
    HRESULT STDMETHODCALLTYPE Reserved##n() override { return NotForTheComponent(L"Reserved" #n); }
    FOR_EACH_RESERVED_PARAM_METHOD(PARAM_HOST_RESERVED)
#undef PARAM_HOST_RESERVED

private:
    ~CommandLineParam() = default;

    void Note(std::wstring call);
    HRESULT NotForTheComponent(const wchar_t* method);
    HRESULT AnswerText(const wchar_t* method, const std::wstring& value, BSTR* out);
    template <typename Value>
    HRESULT AnswerNumber(const wchar_t* method, Value value, Value* out);
    HRESULT Keep(const wchar_t* method, BSTR text, std::wstring& into);

    ParamSettings FSettings;
    std::optional<std::wstring> FDisplayText;
    std::optional<USHORT> FExplainCode;
    mutable SRWLOCK FNotesLock = SRWLOCK_INIT;
    std::vector<std::wstring> FCalls, FCallsFromOtherThreads;
    bool FNotesPaused = false;
    const DWORD FOwnThread = GetCurrentThreadId();
    LONG FReferences = 0;
};
