// Loads OvixParamTransactor.dll the way a COM host does (its class object
// through DllGetClassObject), creates a ParamTransactor, puts and reads back
// a library path, and prints each step.

#include "contracts/OvixParamTransactor_TLB.h"
#include "contracts/Vantrel_TLB.h"
#include "util/UniqueBstr.h"
#include "util/UniqueModule.h"

#include <wrl/client.h>

#include <cstdio>

using Microsoft::WRL::ComPtr;

namespace {

bool Check(const char* step, HRESULT result) {
    std::printf("%-46s 0x%08lX %s\n", step, static_cast<unsigned long>(result), SUCCEEDED(result) ? "ok" : "FAILED");
    return SUCCEEDED(result);
}

int Run() {
    UniqueModule module(LoadLibraryA("OvixParamTransactor.dll"));
    if (!module) {
        std::printf("OvixParamTransactor.dll could not be loaded (error %lu)\n", GetLastError());
        return 1;
    }
    std::printf("loaded OvixParamTransactor.dll\n");
    auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(GetProcAddress(module.Get(), "DllGetClassObject")));
    if (!getClassObject) return 1;

    ComPtr<IClassFactory> factory;
    if (!Check("DllGetClassObject(ParamTransactor)", getClassObject(CLSID_ParamTransactor, IID_PPV_ARGS(&factory))))
        return 1;
    ComPtr<IParamTransactor> transactor;
    if (!Check("CreateInstance(IParamTransactor)", factory->CreateInstance(nullptr, IID_PPV_ARGS(&transactor))))
        return 1;

    UniqueBstr path = UniqueBstr::Copy(L"NoSuchExtension.dll");
    Check("put ExplainLibrary \"NoSuchExtension.dll\"", transactor->put_ExplainLibrary(path.Get()));
    UniqueBstr readBack;
    Check("get ExplainLibrary", transactor->get_ExplainLibrary(readBack.Receive()));
    std::printf("ExplainLibrary reads back as \"%ls\"\n", readBack.Get() ? readBack.Get() : L"");
    return 0;
}

}  // namespace

int main() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    const int result = Run();
    CoUninitialize();
    return result;
}
