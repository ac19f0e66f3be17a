#pragma once
// The parameter object a replayed call runs on: it answers every getter as
// the host answered it in the recorded call, in the same order (a getter
// asked more often than then gets its last answer again), and a text the
// call wrote (value text, bit text) as the host's own object would, once it
// is written. A method the host was never asked in the recorded call has no
// answer: it fails with E_NOTIMPL and the call counts as not replayable.

#include "contracts/ParamObject.h"
#include "util/CapturedCall.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class RecordedParam final : public ParamObject<RecordedParam> {
public:
    explicit RecordedParam(const std::vector<CapturedHostCall>& recorded);
    RecordedParam(const RecordedParam&) = delete;
    RecordedParam& operator=(const RecordedParam&) = delete;

    // Every call made on this object, noted as the capture notes them.
    const std::vector<CapturedHostCall>& Calls() const noexcept { return FCalls; }
    // The first method that had no recorded answer, if any.
    const std::optional<std::string>& Unanswered() const noexcept { return FUnanswered; }

    // IUnknown: the object lives on the replay's stack; references are counted only.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FReferences; }
    ULONG STDMETHODCALLTYPE Release() override { return --FReferences; }

private:
    friend class ParamObject<RecordedParam>;

    const ParamValues& Answers() const { return FUnused; }
    template <typename Value>
    HRESULT Answer(const wchar_t* method, const Value&, Value* out) {
        const CapturedHostCall* answer = NextAnswer(method);
        if (!answer) return E_NOTIMPL;
        if (out && SUCCEEDED(answer->result)) *out = static_cast<Value>(answer->number);
        Note(*answer);
        return answer->result;
    }
    HRESULT Answer(const wchar_t* method, const std::wstring&, BSTR* out);
    HRESULT Write(const wchar_t* method, ParamText target, BSTR text);
    HRESULT WriteExplainCode(USHORT code);
    VARIANT_BOOL Check(BSTR text);
    LONG OptionText(LONG index, BSTR* text);
    HRESULT Unexpected(const wchar_t* method);

    // The recorded answer to the next call of `method`; none, noted, when
    // the recorded call never asked it.
    const CapturedHostCall* NextAnswer(const wchar_t* method);
    void Note(const CapturedHostCall& call) { FCalls.push_back(call); }

    std::map<unsigned, std::vector<const CapturedHostCall*>> FAnswers;  // by slot, in order
    std::map<unsigned, size_t> FAsked;
    std::map<unsigned, std::wstring> FHeld;  // texts written, by the getter's slot
    std::vector<CapturedHostCall> FCalls;
    std::optional<std::string> FUnanswered;
    ParamValues FUnused;
    ULONG FReferences = 1;
};
