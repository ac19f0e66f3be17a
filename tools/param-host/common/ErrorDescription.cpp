#include "common/ErrorDescription.h"

#include "util/SystemMemory.h"
#include "util/Trim.h"
#include "util/UniqueBstr.h"

#include <oleauto.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

bool SupportsErrorInfo(IUnknown* object, REFIID iid) {
    ComPtr<ISupportErrorInfo> support;
    return object && SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&support))) &&
           support->InterfaceSupportsErrorInfo(iid) == S_OK;
}

std::wstring ThreadErrorDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) return {};
    UniqueBstr description;
    if (FAILED(info->GetDescription(description.Receive()))) return {};
    return std::wstring(description.View());
}

}  // namespace

std::wstring SystemMessage(HRESULT result) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const UniqueLocalMemory<wchar_t> message(text);
    if (length == 0) return {};
    return std::wstring(TrimControl(std::wstring_view(message.Get(), length)));
}

std::wstring ErrorDescription(IUnknown* object, REFIID iid, HRESULT result) {
    if (SupportsErrorInfo(object, iid)) {
        std::wstring description = ThreadErrorDescription();
        if (!description.empty()) return description;
    }
    return SystemMessage(result);
}
