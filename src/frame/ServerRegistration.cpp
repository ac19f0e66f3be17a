#include "frame/ServerRegistration.h"

#include "frame/LibraryAttributes.h"
#include "frame/ComClassManager.h"
#include "frame/ComObjectFactory.h"
#include "frame/ComServer.h"
#include "errors/HostResult.h"
#include "errors/OleErrors.h"
#include "util/ModuleFileName.h"
#include "util/UniqueBstr.h"

#include <oleauto.h>

#include <cwchar>
#include <exception>
#include <optional>

using Microsoft::WRL::ComPtr;

namespace {

using RegisterTypeLibFunction = HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*);
using UnRegisterTypeLibFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

// Looked up by name in the already loaded OLEAUT32.DLL: older versions lack
// UnRegisterTypeLib, versions before Vista the per-user functions (which
// MinGW's headers do not declare either). Null when missing.
template <typename Function>
Function OleAutomationFunction(const char* name) {
    HMODULE oleAutomation = GetModuleHandleA("OLEAUT32.DLL");
    if (!oleAutomation) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(oleAutomation, name)));
}

RegisterTypeLibFunction RegisterFunction(TRegistryScope scope) {
    if (scope == TRegistryScope::Machine) return RegisterTypeLib;
    const auto registerForUser = OleAutomationFunction<RegisterTypeLibFunction>("RegisterTypeLibForUser");
    if (!registerForUser) throw EOleRegistrationError("This system cannot register a type library for one user");
    return registerForUser;
}

void RegisterLibrary(ITypeLib& library, const std::wstring& modulePath, TRegistryScope scope) {
    std::wstring path = modulePath;
    std::wstring helpDirectory = FolderOf(modulePath);
    CheckPlatformResult(RegisterFunction(scope)(&library, path.data(), helpDirectory.data()));
}

// True while the platform still finds the library's registration.
bool LibraryRegistered(const TLIBATTR& attributes) {
    UniqueBstr path;
    return SUCCEEDED(QueryPathOfRegTypeLib(attributes.guid, attributes.wMajorVerNum, attributes.wMinorVerNum,
                                           attributes.lcid, path.Receive()));
}

// Without the platform's function the library's entries are left as they
// are. The platform's function also fails when nothing was registered: only
// a registration still there afterwards is a failure.
void UnregisterLibrary(ITypeLib& library, TRegistryScope scope) {
    const auto unregister = OleAutomationFunction<UnRegisterTypeLibFunction>(
        scope == TRegistryScope::Machine ? "UnRegisterTypeLib" : "UnRegisterTypeLibForUser");
    if (!unregister) return;
    auto attributes = ReadLibraryAttributes(library);
    const HRESULT result = unregister(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                                      attributes->lcid, attributes->syskind);
    if (FAILED(result) && LibraryRegistered(*attributes.Get()))
        throw EOleSysError("Cannot remove the type library's registration", result);
}

// DllInstall's command line: "user" for the current user; empty or "machine"
// for the whole machine, as DllRegisterServer does. Anything else: none.
std::optional<TRegistryScope> InstallScope(const wchar_t* commandLine) {
    if (!commandLine || !*commandLine || _wcsicmp(commandLine, L"machine") == 0) return TRegistryScope::Machine;
    if (_wcsicmp(commandLine, L"user") == 0) return TRegistryScope::User;
    return std::nullopt;
}

}  // namespace

void TComServer::UpdateRegistry(bool registering, TRegistryScope scope) {
    // Unregistering removes the class entries also when the library's could
    // not be removed, and then reports that.
    std::exception_ptr libraryFailure;
    if (ComPtr<ITypeLib> library = HeldTypeLibrary()) {
        if (registering) {
            RegisterLibrary(*library.Get(), PathWithinMaxPath(ModulePath()), scope);
        } else {
            try {
                UnregisterLibrary(*library.Get(), scope);
            } catch (...) {
                libraryFailure = std::current_exception();
            }
        }
    }
    FIsRegistering = registering;
    ComClassManager().ForEachFactory(this, [registering, scope](TComObjectFactory& factory) {
        if (factory.Instancing() != TClassInstancing::Internal) factory.UpdateRegistry(registering, scope);
    });
    if (libraryFailure) std::rethrow_exception(libraryFailure);
}

HRESULT RunServerRegistration(bool registering, TRegistryScope scope) noexcept {
    TComServer* server = ComServer();
    if (!server) return E_FAIL;
    try {
        server->UpdateRegistry(registering, scope);
        return S_OK;
    } catch (const EOleSysError& error) {
        return FAILED(error.ErrorCode()) ? error.ErrorCode() : E_FAIL;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT RunServerInstall(bool installing, const wchar_t* commandLine) noexcept {
    const std::optional<TRegistryScope> scope = InstallScope(commandLine);
    if (!scope) return E_INVALIDARG;
    return RunServerRegistration(installing, *scope);
}
