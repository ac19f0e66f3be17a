#pragma once
// Reads the thread's error information that a failing call left behind.

#include "util/UniqueBstr.h"

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string>

// The description of the thread's error information, which is taken.
inline std::wstring TakeErrorDescription() {
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) return L"(no error information)";
    UniqueBstr description;
    info->GetDescription(description.Receive());
    return std::wstring(description.View());
}
