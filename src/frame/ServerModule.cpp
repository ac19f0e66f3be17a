#include "frame/ServerModule.h"

#include "errors/HostResult.h"
#include "frame/ComClassManager.h"
#include "frame/ComServer.h"
#include "util/UniqueModule.h"

#include <memory>

namespace {

UniqueModule OleAutomation;
std::unique_ptr<TComServer> TheServer;
bool Terminated = false;

// A missing file must not bring up the platform's critical-error dialog.
HMODULE LoadOleAutomation() {
    const UINT previousMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA("OLEAUT32.DLL");
    SetErrorMode(previousMode);
    return module;
}

// Keeps the module loaded until the process ends, whatever FreeLibrary calls
// follow. The C and C++ runtimes linked into it (libstdc++, libgcc and
// winpthreads) cannot be unloaded cleanly: every unload left the loading
// thread's thread object (a thread handle and an event), the synchronisation
// objects behind the runtime's thread-local variables, the exception
// emergency pool (about 19 KB) and a thread-local storage slot behind, and
// once the process's slots were used up (after about a thousand loads) the
// runtime aborted the process at the next load. Kept loaded, that state is
// set up once and serves every later load. DllCanUnloadNow still answers
// truthfully; a host's FreeLibrary then only drops its reference.
void KeepLoadedUntilProcessExit(HMODULE module) noexcept {
    HMODULE pinned = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(module), &pinned);
}

}  // namespace

TComServer* ComServer() noexcept { return TheServer.get(); }

bool ModuleTerminated() noexcept { return Terminated; }

bool StartModule(HMODULE module, void (&createFactories)(TComServer& server)) noexcept {
    InstallHostResultHook();
    try {
        OleAutomation.Reset(LoadOleAutomation());
        TheServer = std::make_unique<TComServer>(module);
        createFactories(*TheServer);
        KeepLoadedUntilProcessExit(module);
        return true;
    } catch (...) {
        StopModule();
        return false;
    }
}

void StopModule() noexcept {
    TheServer.reset();
    OleAutomation.Reset();
    Terminated = true;
    FreeComClassManager();
    RemoveHostResultHook();
}
