#include "server/ServerModule.h"

#include "contracts/OvixParamTransactor_TLB.h"
#include "server/AutoObjectFactory.h"
#include "server/ComClassManager.h"
#include "server/ComServer.h"
#include "server/HostResult.h"
#include "transactor/ParamTransactorUnt.h"
#include "util/UniqueModule.h"

#include <memory>

namespace {

const TComObjectClass ParamTransactorClass = ComObjectClassOf<TParamTransactor>("TParamTransactor");

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

void CreateFactories(TComServer& server) {
    // Owned by the class manager's list; the server destroys it at shut-down.
    new TAutoObjectFactory(server, ParamTransactorClass, CLSID_ParamTransactor, TClassInstancing::MultiInstance,
                           TThreadingModel::Apartment);
}

}  // namespace

TComServer* ComServer() noexcept { return TheServer.get(); }

bool ModuleTerminated() noexcept { return Terminated; }

bool StartModule(HMODULE module) noexcept {
    InstallHostResultHook();
    try {
        OleAutomation.Reset(LoadOleAutomation());
        TheServer = std::make_unique<TComServer>(module);
        CreateFactories(*TheServer);
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
