// The DLL's entry point and exports: the platform finds the class object
// through DllGetClassObject and asks DllCanUnloadNow before unloading the
// module; DllRegisterServer and DllUnregisterServer serve regsvr32 for the
// whole machine, DllInstall (regsvr32 /n /i:user) for the current user.

#include "dll/ClassFactories.h"
#include "frame/ComClassManager.h"
#include "frame/ComObjectFactory.h"
#include "frame/ComServer.h"
#include "frame/ServerModule.h"
#include "frame/ServerRegistration.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) return StartModule(instance, CreateClassFactories);
    if (reason == DLL_PROCESS_DETACH) StopModule();
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    TComObjectFactory* factory = ComClassManager().GetFactoryFromClassID(clsid);
    if (!factory) return CLASS_E_CLASSNOTAVAILABLE;
    return SUCCEEDED(factory->QueryInterface(iid, object)) ? S_OK : E_NOINTERFACE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    const TComServer* server = ComServer();
    if (!server || (server->ObjectCount() == 0 && server->ClassObjectCount() == 0)) return S_OK;
    return S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return RunServerRegistration(true, TRegistryScope::Machine); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return RunServerRegistration(false, TRegistryScope::Machine);
}

extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR commandLine) {
    return RunServerInstall(install != FALSE, commandLine);
}
