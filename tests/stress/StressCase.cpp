#include "StressCase.h"

#include "Random.h"
#include "RandomFrame.h"
#include "RandomHost.h"
#include "util/UniqueBstr.h"
#include "util/UniqueVariant.h"

#include <wrl/client.h>

#include <cstdio>
#include <iterator>

using Microsoft::WRL::ComPtr;

namespace {

const wchar_t* const LibraryPaths[] = {L"",
                                       L"   ",
                                       L"ExtSucceed.dll",
                                       L" ExtSucceed.dll ",
                                       L"ExtRefuse.dll",
                                       L"ExtNullPointer.dll",
                                       L"ExtRaiseCustom.dll",
                                       L"NoSuchLibrary.dll",
                                       L"C:\\no\\such\\folder\\Ext.dll"};

using LibraryPut = HRESULT (STDMETHODCALLTYPE IParamTransactor::*)(BSTR);
using LibraryGet = HRESULT (STDMETHODCALLTYPE IParamTransactor::*)(BSTR*);

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

std::string Hex(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(result));
    return text;
}

// Puts a random library path into the slot, sometimes.
void MaybeUseLibrary(Random& random, IParamTransactor& transactor, LibraryPut put, std::string& description) {
    if (!random.Percent(30)) return;
    const wchar_t* path = LibraryPaths[random.Below(std::size(LibraryPaths))];
    UniqueBstr value = UniqueBstr::Copy(path);
    (transactor.*put)(value.Get());
    description += "library \"" + Narrow(path) + "\"; ";
}

// Whether the thread's error information is the component's own.
bool IsOurs(IErrorInfo& info) {
    UniqueBstr source;
    info.GetSource(source.Receive());
    return source.View() == L"OvixParamTransactor.ParamTransactor";
}

// Checks the answer against what happened and the thread's error
// information, which it takes; `sentinel` was the thread's before the call.
std::string CheckAnswer(HRESULT result, bool faulted, bool errorObjectFaulted, bool errorInfoTaken,
                        IErrorInfo& sentinel) {
    ComPtr<IErrorInfo> info;
    GetErrorInfo(0, &info);
    if (faulted) {
        if (result != E_UNEXPECTED) return "a fault answered " + Hex(result) + " instead of E_UNEXPECTED; ";
        if (errorInfoTaken) return {};
        if (errorObjectFaulted) return info ? "error information was set after a fault; " : "";
        return info.Get() == &sentinel ? "" : "the thread's error information was changed by a fault; ";
    }
    if (SUCCEEDED(result)) return {};
    if (!info || !IsOurs(*info.Get()))
        return "failure " + Hex(result) + " without the component's error information (an unplanned fault?); ";
    return {};
}

CaseOutcome RunExplain(Random& random, IParamTransactor& transactor, std::string& description) {
    MaybeUseLibrary(random, transactor, &IParamTransactor::put_ExplainLibrary, description);
    RandomFrame frame(random, description);
    RandomHost host(random, frame.Length(), description);
    const LONG dataLength = random.Percent(80) ? frame.Length() : random.Between(-1, 50);
    const bool withStatus = random.Percent(95);
    description += "; data length " + std::to_string(dataLength) + (withStatus ? "" : ", no status");

    FakeErrorInfo sentinel;
    SetErrorInfo(0, &sentinel);
    LONG status = 42;
    CaseOutcome outcome;
    outcome.kind = CaseKind::Explain;
    outcome.result = transactor.Explain(&host.Param(), frame.Data(), dataLength, withStatus ? &status : nullptr);
    outcome.faulted = host.FaultedFatally() || frame.Faulted();
    outcome.finding = CheckAnswer(outcome.result, outcome.faulted, host.ErrorObjectFaulted(),
                                  host.SwallowedAFailure(), sentinel);
    SetErrorInfo(0, nullptr);
    outcome.finding += frame.LeftBehind() + host.LeftBehind();
    if (sentinel.OutstandingReferences() != 0) outcome.finding += "a reference on the thread's error information; ";
    return outcome;
}

CaseOutcome RunObscure(Random& random, IParamTransactor& transactor, std::string& description) {
    MaybeUseLibrary(random, transactor, &IParamTransactor::put_ObscureLibrary, description);
    RandomHost host(random, 0, description);
    UniqueVariant data;
    if (random.Percent(50)) {
        V_VT(&data.Get()) = VT_BSTR;
        V_BSTR(&data.Get()) = SysAllocString(L"what the host held");
    }
    LONG count = -1, status = 42;
    const bool withData = random.Percent(95), withCount = random.Percent(95), withStatus = random.Percent(95);

    FakeErrorInfo sentinel;
    SetErrorInfo(0, &sentinel);
    CaseOutcome outcome;
    outcome.kind = CaseKind::Obscure;
    outcome.result = transactor.Obscure(&host.Param(), withData ? &data.Get() : nullptr, withCount ? &count : nullptr,
                                        withStatus ? &status : nullptr);
    outcome.faulted = host.FaultedFatally();
    outcome.finding = CheckAnswer(outcome.result, outcome.faulted, host.ErrorObjectFaulted(),
                                  host.SwallowedAFailure(), sentinel);
    SetErrorInfo(0, nullptr);
    if (outcome.result == S_OK &&
        (V_VT(&data.Get()) != (VT_ARRAY | VT_UI1) || V_ARRAY(&data.Get())->rgsabound[0].cElements != ULONG(count) ||
         status != 0))
        outcome.finding += "a successful Obscure without its array, count and status; ";
    outcome.finding += host.LeftBehind();
    if (sentinel.OutstandingReferences() != 0) outcome.finding += "a reference on the thread's error information; ";
    return outcome;
}

// A put and get of a library path, through the vtable or through IDispatch,
// or a malformed automation call, which must fail.
CaseOutcome RunProperty(Random& random, IParamTransactor& transactor, std::string& description) {
    static const struct {
        LibraryPut put;
        LibraryGet get;
        const wchar_t* name;
    } slots[] = {{&IParamTransactor::put_ExplainLibrary, &IParamTransactor::get_ExplainLibrary, L"ExplainLibrary"},
                 {&IParamTransactor::put_ObscureLibrary, &IParamTransactor::get_ObscureLibrary, L"ObscureLibrary"},
                 {&IParamTransactor::put_EditLibrary, &IParamTransactor::get_EditLibrary, L"EditLibrary"}};
    const auto& slot = slots[random.Below(std::size(slots))];
    CaseOutcome outcome;
    outcome.kind = CaseKind::Property;
    description += Narrow(slot.name) + ": ";

    if (random.Percent(15)) {  // malformed: a null name array, or an interface other than IID_NULL
        DISPID id = 0;
        const bool nullNames = random.Percent(50);
        LPOLESTR names[] = {const_cast<LPOLESTR>(slot.name)};
        outcome.result = transactor.GetIDsOfNames(nullNames ? IID_NULL : __uuidof(IParam), nullNames ? nullptr : names,
                                                  1, LOCALE_USER_DEFAULT, &id);
        description += nullNames ? "names without an array" : "names for another interface";
        if (SUCCEEDED(outcome.result)) outcome.finding = "a malformed GetIDsOfNames succeeded; ";
        return outcome;
    }
    const wchar_t* path = random.Percent(10) ? nullptr : LibraryPaths[random.Below(std::size(LibraryPaths))];
    UniqueBstr value(path ? SysAllocString(path) : nullptr);
    description += "put \"" + Narrow(path ? path : L"(null)") + "\"";
    outcome.result = (transactor.*slot.put)(value.Get());
    UniqueBstr stored;
    const HRESULT got = (transactor.*slot.get)(stored.Receive());
    if (FAILED(outcome.result) || FAILED(got)) outcome.finding = "a property call failed; ";
    else if (stored.View() != std::wstring_view(path ? path : L""))
        outcome.finding = "the path read back is \"" + Narrow(stored.View()) + "\"; ";
    return outcome;
}

}  // namespace

std::vector<std::wstring> LibraryPathsTried() { return {std::begin(LibraryPaths), std::end(LibraryPaths)}; }

CaseOutcome RunCase(IParamTransactor& transactor, uint64_t caseSeed, std::string& description) {
    Random random(caseSeed);
    const uint32_t kind = random.Below(100);
    if (kind < 45) {
        description += "Explain: ";
        return RunExplain(random, transactor, description);
    }
    if (kind < 80) {
        description += "Obscure: ";
        return RunObscure(random, transactor, description);
    }
    description += "property ";
    return RunProperty(random, transactor, description);
}
