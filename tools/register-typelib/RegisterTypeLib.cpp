// Registers (or, with /u, unregisters) a type library with the platform:
//   register_typelib.exe [/u] <file>
// Used to register the host's type library stand-in in a Wine prefix.

#include "util/TypeAttributes.h"

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cstdio>
#include <cwchar>

using Microsoft::WRL::ComPtr;

namespace {

HRESULT Register(ITypeLib& library, const wchar_t* file) {
    wchar_t fullPath[MAX_PATH];
    if (!GetFullPathNameW(file, MAX_PATH, fullPath, nullptr)) return HRESULT_FROM_WIN32(GetLastError());
    return RegisterTypeLib(&library, fullPath, nullptr);
}

HRESULT Unregister(ITypeLib& library) {
    TLIBATTR* read = nullptr;
    if (const HRESULT result = library.GetLibAttr(&read); FAILED(result)) return result;
    const UniqueLibraryAttributes attributes(read, {&library});
    return UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                             attributes->lcid, attributes->syskind);
}

HRESULT Run(const wchar_t* file, bool unregister) {
    ComPtr<ITypeLib> library;
    const HRESULT loaded = LoadTypeLibEx(file, REGKIND_NONE, &library);
    if (FAILED(loaded)) return loaded;
    return unregister ? Unregister(*library.Get()) : Register(*library.Get(), file);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool unregister = argc == 3 && std::wcscmp(argv[1], L"/u") == 0;
    if (argc != 2 && !unregister) {
        std::fprintf(stderr, "usage: register_typelib [/u] <type library file>\n");
        return 2;
    }
    const wchar_t* file = argv[argc - 1];
    const HRESULT result = Run(file, unregister);
    if (FAILED(result)) {
        std::fprintf(stderr, "register_typelib: %ls: error 0x%08lX\n", file, static_cast<unsigned long>(result));
        return 1;
    }
    std::printf("register_typelib: %s %ls\n", unregister ? "unregistered" : "registered", file);
    return 0;
}
