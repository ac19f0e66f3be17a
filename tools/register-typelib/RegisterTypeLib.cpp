// Registers (or, with /u, unregisters) a type library with the platform:
//   register_typelib.exe [/u] <file>
// Used to register the host's type library stand-in in a Wine prefix.

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    const bool unregister = argc == 3 && std::wcscmp(argv[1], L"/u") == 0;
    if (argc != 2 && !unregister) {
        std::fprintf(stderr, "usage: register_typelib [/u] <type library file>\n");
        return 2;
    }
    const wchar_t* file = argv[argc - 1];
    ITypeLib* library = nullptr;
    HRESULT result = LoadTypeLibEx(file, REGKIND_NONE, &library);
    if (SUCCEEDED(result)) {
        TLIBATTR* attributes = nullptr;
        result = library->GetLibAttr(&attributes);
        if (SUCCEEDED(result)) {
            wchar_t fullPath[MAX_PATH];
            GetFullPathNameW(file, MAX_PATH, fullPath, nullptr);
            result = unregister ? UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum,
                                                    attributes->wMinorVerNum, attributes->lcid, attributes->syskind)
                                : RegisterTypeLib(library, fullPath, nullptr);
            library->ReleaseTLibAttr(attributes);
        }
        library->Release();
    }
    if (FAILED(result)) {
        std::fprintf(stderr, "register_typelib: %ls: error 0x%08lX\n", file, static_cast<unsigned long>(result));
        return 1;
    }
    std::printf("register_typelib: %s %ls\n", unregister ? "unregistered" : "registered", file);
    return 0;
}
