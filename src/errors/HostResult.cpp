#include "errors/HostResult.h"

#include "errors/OleErrors.h"
#include "guard/HostCallGuard.h"
#include "guard/HostOwners.h"
#include "util/AnsiText.h"

namespace {

using HostResultHook = void (*)(HRESULT);

// Written only at start-up and shut-down, while no call is in progress.
HostResultHook HostResultHookSlot = nullptr;

// The thread's error information, as 8-bit texts.
struct HostErrorInfo {
    std::string source, description, helpFile;
    DWORD helpContext = 0;
};

// The error object is the host's: its methods run under the host-call guard.
std::string ReadText(HRESULT (STDMETHODCALLTYPE IErrorInfo::*getter)(BSTR*), IErrorInfo& info) {
    UniqueBstr text;
    CallHostMethod(info, getter, text.Receive());
    return AnsiFromBstr(text.Get());
}

// Takes the thread's error information (the platform clears it as it hands
// it over); all empty when there is none. A fault inside the error object,
// its Release included, raises EProcessorFault, and the object is released
// on the way out.
HostErrorInfo TakeHostErrorInfo() {
    HostErrorInfo taken;
    HostReference<IErrorInfo> info;
    if (GetErrorInfo(0, info.Receive()) != S_OK || !info) return taken;
    taken.source = ReadText(&IErrorInfo::GetSource, *info.Get());
    taken.description = ReadText(&IErrorInfo::GetDescription, *info.Get());
    taken.helpFile = ReadText(&IErrorInfo::GetHelpFile, *info.Get());
    CallHostMethod(*info.Get(), &IErrorInfo::GetHelpContext, &taken.helpContext);
    info.Reset();
    return taken;
}

}  // namespace

void RaiseHostError(HRESULT result) {
    HostErrorInfo info = TakeHostErrorInfo();
    throw EOleException(std::move(info.description), result, std::move(info.source), std::move(info.helpFile),
                        static_cast<int32_t>(info.helpContext));
}

void InstallHostResultHook() noexcept { HostResultHookSlot = &RaiseHostError; }

void RemoveHostResultHook() noexcept { HostResultHookSlot = nullptr; }

void RaiseFailedHostResult(HRESULT result) {
    if (HostResultHook hook = HostResultHookSlot) hook(result);
    throw ESafecallException();
}

void CheckPlatformResult(HRESULT result) {
    if (FAILED(result)) throw EOleSysError("", result);
}
