#pragma once
// Creates a transactor object for a test the way a host does: through the
// real OvixParamTransactor.dll, its DllGetClassObject and class factory, so
// that every call crosses the component's COM boundary. The module stays
// loaded for the test program's life.

#include "contracts/OvixParamTransactor_TLB.h"
#include "contracts/Vantrel_TLB.h"
#include "util/UniqueModule.h"

#include <wrl/client.h>

#include <stdexcept>
#include <string>

// The loaded component module (loaded on first use).
inline HMODULE ComponentModule() {
    static const UniqueModule module(LoadLibraryA("OvixParamTransactor.dll"));
    if (!module) throw std::runtime_error("OvixParamTransactor.dll could not be loaded");
    return module.Get();
}

// One of the exports of a loaded copy of the component.
template <typename Function>
Function ExportOf(HMODULE component, const char* name) {
    auto function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(component, name)));
    if (!function) throw std::runtime_error(std::string("OvixParamTransactor.dll does not export ") + name);
    return function;
}

// One of the component's exports, e.g. ComponentExport<HRESULT(STDAPICALLTYPE*)()>("DllCanUnloadNow").
template <typename Function>
Function ComponentExport(const char* name) {
    return ExportOf<Function>(ComponentModule(), name);
}

inline Microsoft::WRL::ComPtr<IClassFactory> TransactorClassObject() {
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    Microsoft::WRL::ComPtr<IClassFactory> factory;
    if (FAILED(ComponentExport<GetClassObject>("DllGetClassObject")(CLSID_ParamTransactor, IID_PPV_ARGS(&factory))))
        throw std::runtime_error("DllGetClassObject failed");
    return factory;
}

inline Microsoft::WRL::ComPtr<IParamTransactor> NewTransactor() {
    Microsoft::WRL::ComPtr<IParamTransactor> transactor;
    if (FAILED(TransactorClassObject()->CreateInstance(nullptr, IID_PPV_ARGS(&transactor))))
        throw std::runtime_error("CreateInstance of ParamTransactor failed");
    return transactor;
}
