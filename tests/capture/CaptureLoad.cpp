// A host that keeps making calls while capturing, for the tests that kill
// it, fill its capture folder or its disk:
//   capture_load FOLDER CALLS [MAXMB]
// runs CALLS Explain calls (0: until it is killed) through the real
// component with capture on into FOLDER ("-": off), parameter id n for the
// n-th call, and prints "digest <hex>": a hash of everything the host held
// after each call, the same whether or not the calls were captured.
#include "fakes/FakeParam.h"
#include "support/Transactor.h"
#include "util/UniqueVariant.h"

#include <objbase.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

uint64_t Mix(uint64_t hash, const void* bytes, size_t size) {
    for (size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<const unsigned char*>(bytes)[i]) * 1099511628211ull;
    return hash;
}

uint64_t Mix(uint64_t hash, const std::wstring& text) { return Mix(hash, text.data(), text.size() * sizeof(wchar_t)); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring folder = argv[1];
    SetEnvironmentVariableW(L"OVIX_PARAM_CAPTURE_FOLDER", folder == L"-" ? L"" : folder.c_str());
    if (argc > 3) SetEnvironmentVariableW(L"OVIX_PARAM_CAPTURE_MAXMB", argv[3]);
    const unsigned long calls = std::wcstoul(argv[2], nullptr, 10);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    uint64_t digest = 14695981039346656037ull;
    {
        const auto transactor = NewTransactor();
        UniqueVariant frame;
        SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 6);
        V_VT(&frame.Get()) = VT_ARRAY | VT_UI1;
        V_ARRAY(&frame.Get()) = array;
        for (unsigned long n = 0; calls == 0 || n < calls; ++n) {
            for (LONG i = 0; i < 6; ++i) {
                BYTE byte = static_cast<BYTE>(n >> (i % 4 * 8));
                SafeArrayPutElement(array, &i, &byte);
            }
            FakeParam param;
            param.ParamId = static_cast<LONG>(n);
            param.StartByte = 1 + static_cast<LONG>(n % 3);
            param.ByteCount = 4;
            param.HexEncoded = n % 7 ? VARIANT_FALSE : VARIANT_TRUE;
            LONG status = 5;
            const HRESULT result = transactor->Explain(&param, frame.Get(), 6, &status);
            digest = Mix(Mix(Mix(digest, param.SetValue), param.SetBit), &status, sizeof status);
            digest = Mix(digest, &result, sizeof result);
        }
    }
    CoUninitialize();
    std::printf("digest %016llx\n", static_cast<unsigned long long>(digest));
    return 0;
}
