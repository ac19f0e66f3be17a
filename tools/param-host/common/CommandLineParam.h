#pragma once
// The parameter object this program hands to the component, as the host
// would: it answers from the command line's settings, keeps what the
// component writes into it (a later read returns what was written, as the
// host's own object does) and notes every call in order for --trace. An
// extension under check may call it from another thread, so the notes are
// kept under a lock, and calls from other threads are noted apart as well.

#include "common/HostRequest.h"

#include "contracts/ParamObject.h"

#include <optional>
#include <string>
#include <vector>

class CommandLineParam final : public ParamObject<CommandLineParam> {
public:
    // Starts with no reference: hold it in a ComPtr at once.
    explicit CommandLineParam(const ParamSettings& settings);
    CommandLineParam(const CommandLineParam&) = delete;
    CommandLineParam& operator=(const CommandLineParam&) = delete;

    // What the host holds after the operation.
    const std::wstring& ValueText() const { return FHeld.ValueText; }
    const std::wstring& BitText() const { return FHeld.BitText; }
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
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

private:
    friend class ParamObject<CommandLineParam>;

    ~CommandLineParam() = default;

    // For ParamObject: the methods the component calls, and the host's other
    // methods, which the component has no business calling (they are noted
    // and answer E_NOTIMPL).
    const ParamValues& Answers() const { return FHeld; }
    template <typename Value>
    HRESULT Answer(const wchar_t* method, const Value& value, Value* out) {
        Note(method);
        if (!out) return E_POINTER;
        *out = value;
        return S_OK;
    }
    HRESULT Answer(const wchar_t* method, const std::wstring& value, BSTR* out);
    HRESULT Write(const wchar_t* method, ParamText target, BSTR text);
    HRESULT WriteExplainCode(USHORT code);
    VARIANT_BOOL Check(BSTR text);
    LONG OptionText(LONG index, BSTR* text);
    HRESULT Unexpected(const wchar_t* method);

    void Note(std::wstring call);

    ParamValues FHeld;  // the settings at first, then what the component wrote too
    ValueRule FAcceptRule;
    std::optional<std::wstring> FDisplayText;
    std::optional<USHORT> FExplainCode;
    mutable SRWLOCK FNotesLock = SRWLOCK_INIT;
    std::vector<std::wstring> FCalls, FCallsFromOtherThreads;
    bool FNotesPaused = false;
    const DWORD FOwnThread = GetCurrentThreadId();
    LONG FReferences = 0;
};
