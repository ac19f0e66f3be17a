// Writes the component's own type library (embedded in the DLL as resource
// TYPELIB 1):
//   make_typelib.exe <host type library file> <output .tlb>
// The library holds one coclass, ParamTransactor, whose only, default
// interface is IParamTransactor. That interface is not copied: the coclass
// refers to it in the host's library, recorded under its file name
// ("Vantrel.dll"), which must be registered wherever the component's
// library is resolved.

#include "contracts/OvixParamTransactor_TLB.h"
#include "contracts/Vantrel_TLB.h"

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cstdio>
#include <stdexcept>
#include <string>

using Microsoft::WRL::ComPtr;

namespace {

void Check(HRESULT result, const char* step) {
    if (FAILED(result)) {
        char text[128];
        std::snprintf(text, sizeof text, "%s failed: 0x%08lX", step, static_cast<unsigned long>(result));
        throw std::runtime_error(text);
    }
}

ComPtr<ITypeInfo> HostInterface(const wchar_t* hostLibraryFile) {
    ComPtr<ITypeLib> hostLibrary;
    Check(LoadTypeLibEx(hostLibraryFile, REGKIND_NONE, &hostLibrary), "LoadTypeLibEx of the host library");
    ComPtr<ITypeInfo> info;
    Check(hostLibrary->GetTypeInfoOfGuid(__uuidof(IParamTransactor), &info), "GetTypeInfoOfGuid(IParamTransactor)");
    return info;
}

void DescribeLibrary(ICreateTypeLib2& library) {
    Check(library.SetName(const_cast<LPOLESTR>(L"OvixParamTransactor")), "SetName");
    Check(library.SetGuid(LIBID_OvixParamTransactor), "SetGuid");
    Check(library.SetVersion(OvixParamTransactorMajorVersion, OvixParamTransactorMinorVersion), "SetVersion");
    Check(library.SetLcid(0), "SetLcid");
    Check(library.SetDocString(const_cast<LPOLESTR>(L"OvixParamTransactor Library")), "SetDocString");
    Check(library.SetLibFlags(0), "SetLibFlags");
}

void AddCoclass(ICreateTypeLib2& library, ITypeInfo& defaultInterface) {
    ComPtr<ICreateTypeInfo> coclass;
    Check(library.CreateTypeInfo(const_cast<LPOLESTR>(L"ParamTransactor"), TKIND_COCLASS, &coclass),
          "CreateTypeInfo(ParamTransactor)");
    Check(coclass->SetGuid(CLSID_ParamTransactor), "SetGuid(coclass)");
    Check(coclass->SetDocString(const_cast<LPOLESTR>(L"ParamTransactor")), "SetDocString(coclass)");
    Check(coclass->SetTypeFlags(TYPEFLAG_FCANCREATE), "SetTypeFlags(coclass)");
    Check(coclass->SetVersion(1, 0), "SetVersion(coclass)");
    HREFTYPE reference = 0;
    Check(coclass->AddRefTypeInfo(&defaultInterface, &reference), "AddRefTypeInfo(IParamTransactor)");
    Check(coclass->AddImplType(0, reference), "AddImplType");
    Check(coclass->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT), "SetImplTypeFlags");
    Check(coclass->LayOut(), "LayOut(coclass)");
}

void Write(const wchar_t* hostLibraryFile, const wchar_t* outputFile) {
    ComPtr<ITypeInfo> hostInterface = HostInterface(hostLibraryFile);
    ComPtr<ICreateTypeLib2> library;
    Check(CreateTypeLib2(SYS_WIN32, outputFile, &library), "CreateTypeLib2");
    DescribeLibrary(*library.Get());
    AddCoclass(*library.Get(), *hostInterface.Get());
    Check(library->SaveAllChanges(), "SaveAllChanges");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_typelib <host type library file> <output .tlb>\n");
        return 2;
    }
    try {
        if (FAILED(CoInitialize(nullptr))) throw std::runtime_error("CoInitialize failed");
        Write(argv[1], argv[2]);
        CoUninitialize();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_typelib: %s\n", error.what());
        return 1;
    }
    std::printf("make_typelib: wrote %ls\n", argv[2]);
    return 0;
}
