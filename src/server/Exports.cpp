// The DLL's exports: the platform finds the class object through
// DllGetClassObject and asks DllCanUnloadNow before unloading the module.

#include "contracts/OvixParamTransactor_TLB.h"
#include "server/ClassFactory.h"

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (clsid != CLSID_ParamTransactor) return CLASS_E_CLASSNOTAVAILABLE;
    return GetParamTransactorClassObject(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return E_NOTIMPL; }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return E_NOTIMPL; }
