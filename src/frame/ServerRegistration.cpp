#include "frame/ServerRegistration.h"

#include "frame/LibraryAttributes.h"
#include "frame/ComClassManager.h"
#include "frame/ComObjectFactory.h"
#include "frame/ComServer.h"
#include "errors/HostResult.h"
#include "util/AnsiText.h"

#include <oleauto.h>

using Microsoft::WRL::ComPtr;

namespace {

using UnRegisterTypeLibFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

// The directory part of `path`, up to and including its last separator.
std::string DirectoryOf(const std::string& path) {
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

void RegisterLibrary(ITypeLib& library, const std::string& modulePath) {
    std::wstring path = WideFromAnsi(modulePath);
    std::wstring helpDirectory = WideFromAnsi(DirectoryOf(modulePath));
    CheckPlatformResult(RegisterTypeLib(&library, path.data(), helpDirectory.data()));
}

// Looked up by name: older OLEAUT32 versions lack it, and then the
// library's entries are left as they are.
void UnregisterLibrary(ITypeLib& library) {
    HMODULE oleAutomation = GetModuleHandleA("OLEAUT32.DLL");
    if (!oleAutomation) return;
    auto unregister = reinterpret_cast<UnRegisterTypeLibFunction>(
        reinterpret_cast<void*>(GetProcAddress(oleAutomation, "UnRegisterTypeLib")));
    if (!unregister) return;
    auto attributes = ReadLibraryAttributes(library);
    unregister(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
               attributes->syskind);
}

}  // namespace

void TComServer::UpdateRegistry(bool registering) {
    if (ComPtr<ITypeLib> library = HeldTypeLibrary()) {
        if (registering)
            RegisterLibrary(*library.Get(), ModulePath());
        else
            UnregisterLibrary(*library.Get());
    }
    FIsRegistering = registering;
    ComClassManager().ForEachFactory(this, [registering](TComObjectFactory& factory) {
        if (factory.Instancing() != TClassInstancing::Internal) factory.UpdateRegistry(registering);
    });
}

HRESULT RunServerRegistration(bool registering) noexcept {
    TComServer* server = ComServer();
    if (!server) return E_FAIL;
    try {
        server->UpdateRegistry(registering);
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}
