#pragma once
// Reads the thread's error information that a failing call left behind, as
// the host would, and puts a recognisable one in place beforehand.

#include "util/UniqueBstr.h"

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string>

struct ThreadErrorInfo {
    bool present = false;
    GUID interfaceId = GUID_NULL;
    std::wstring source, description, helpFile;
    DWORD helpContext = 0;
};

// Takes the thread's error information (GetErrorInfo clears it).
inline ThreadErrorInfo TakeThreadErrorInfo() {
    ThreadErrorInfo taken;
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) return taken;
    auto text = [&info](HRESULT (STDMETHODCALLTYPE IErrorInfo::*getter)(BSTR*)) {
        UniqueBstr value;
        (info.Get()->*getter)(value.Receive());
        return std::wstring(value.View());
    };
    taken.present = true;
    info->GetGUID(&taken.interfaceId);
    taken.source = text(&IErrorInfo::GetSource);
    taken.description = text(&IErrorInfo::GetDescription);
    taken.helpFile = text(&IErrorInfo::GetHelpFile);
    info->GetHelpContext(&taken.helpContext);
    return taken;
}

// Makes a recognisable error information the thread's: source `source`,
// description `description`, help file "host.hlp", help context 12.
inline void SetThreadErrorInfo(const wchar_t* source, const wchar_t* description) {
    Microsoft::WRL::ComPtr<ICreateErrorInfo> created;
    if (FAILED(CreateErrorInfo(&created))) return;
    created->SetSource(const_cast<LPOLESTR>(source));
    created->SetDescription(const_cast<LPOLESTR>(description));
    created->SetHelpFile(const_cast<LPOLESTR>(L"host.hlp"));
    created->SetHelpContext(12);
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(created.As(&info))) SetErrorInfo(0, info.Get());
}

// The description of the thread's error information, which is taken.
inline std::wstring TakeErrorDescription() {
    const ThreadErrorInfo info = TakeThreadErrorInfo();
    return info.present ? info.description : L"(no error information)";
}
