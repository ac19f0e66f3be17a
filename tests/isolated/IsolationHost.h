#pragma once
// The three operations through the real component with a fake host object,
// reduced to what a test of an isolated extension compares: what the
// extension gave (or that the call declined and the built-in path ran).
#include "fakes/FakeParam.h"
#include "support/ExtensionLibraries.h"
#include "support/Transactor.h"
#include "util/UniqueBstr.h"
#include "util/UniqueVariant.h"

#include <string>
#include <vector>

enum class Entry { Explain, Obscure, Edit };

inline const char* EntryName(Entry entry) {
    return entry == Entry::Explain ? "ExplainParam" : entry == Entry::Obscure ? "ObscureParam" : "EditParam";
}

inline LibraryPathPut LibraryProperty(Entry entry) {
    return entry == Entry::Explain   ? &IParamTransactor::put_ExplainLibrary
           : entry == Entry::Obscure ? &IParamTransactor::put_ObscureLibrary
                                     : &IParamTransactor::put_EditLibrary;
}

// What the host saw after one operation.
struct HostView {
    HRESULT result = E_PENDING;
    std::wstring value;    // Explain: SetValueText; Obscure: the bytes as digits; Edit: the value
    std::wstring display;  // Explain, Edit: SetDisplayText
    LONG code = -1;        // Explain: SetExplainCode; Edit: the status
    LONG references = 0;   // references the host's object still lends
    std::vector<std::wstring> calls = {};  // the methods of the host's object that were called
};

// Explain of the 2-byte field "AB" (built-in: value text "AB"), Obscure with
// the host's obscure text "1234", Edit; `paramId` as the object's id.
inline HostView Operate(IParamTransactor& transactor, Entry entry, LONG paramId) {
    FakeParam host;
    host.ParamId = paramId;
    host.StartByte = 1;
    host.ByteCount = 2;
    host.ObscureText = L"1234";
    HostView view;
    if (entry == Entry::Explain) {
        UniqueVariant frame;
        SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 2);
        static_cast<BYTE*>(array->pvData)[0] = 'A';
        static_cast<BYTE*>(array->pvData)[1] = 'B';
        V_VT(&frame.Get()) = VT_ARRAY | VT_UI1;
        V_ARRAY(&frame.Get()) = array;
        LONG status = 0;
        view.result = transactor.Explain(&host, frame.Get(), 2, &status);
        view.value = host.SetValue;
        view.display = host.SetDisplay;
        view.code = host.SetCode;
    } else if (entry == Entry::Obscure) {
        UniqueVariant data;
        LONG count = 0, status = 0;
        view.result = transactor.Obscure(&host, &data.Get(), &count, &status);
        if (V_VT(&data.Get()) == (VT_ARRAY | VT_UI1))
            for (LONG i = 0; i < count; ++i)
                view.value += static_cast<wchar_t>(L'0' + static_cast<BYTE*>(V_ARRAY(&data.Get())->pvData)[i]);
    } else {
        UniqueBstr value;
        LONG status = -1;
        view.result = transactor.Edit(&host, value.Receive(), &status);
        view.value = std::wstring(value.View());
        view.display = host.SetDisplay;
        view.code = status;
    }
    view.references = host.OutstandingReferences();
    view.calls = host.Calls;
    return view;
}

// What each operation gives with the misbehaving extensions' good answer.
inline HostView GoodAnswer(Entry entry) {
    switch (entry) {
    case Entry::Explain: return {S_OK, L"ok", L"good", 3, 0};
    case Entry::Obscure: return {S_OK, L"0917", L"", -1, 0};
    default: return {S_OK, L"5", L"Five", 0, 0};
    }
}

// What each operation gives when the extension declined.
inline HostView DeclinedAnswer(Entry entry) {
    switch (entry) {
    case Entry::Explain: return {S_OK, L"AB", L"", 0, 0};
    case Entry::Obscure: return {S_OK, L"1234", L"", -1, 0};
    default: return {S_OK, L"", L"", 1, 0};
    }
}

inline bool operator==(const HostView& a, const HostView& b) {
    return a.result == b.result && a.value == b.value && a.display == b.display && a.code == b.code &&
           a.references == b.references;
}

inline std::ostream& operator<<(std::ostream& out, const HostView& view) {
    return out << "{result " << std::hex << view.result << std::dec << ", value \""
               << std::string(view.value.begin(), view.value.end()) << "\", display \""
               << std::string(view.display.begin(), view.display.end()) << "\", code " << view.code
               << ", references " << view.references << "}";
}
