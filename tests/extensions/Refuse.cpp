// Test extension whose three entry points report failure (result 1) after
// scribbling into their out-buffers, which the caller must then ignore.
#include "contracts/ExtensionEntryPoints.h"

#include <cstring>

extern "C" int32_t __stdcall ExplainParam(const char*, int32_t, const char*, int32_t, const char*, int32_t, int32_t,
                                          uint16_t* code, char* valueOut, char* displayOut, IParam*) {
    *code = 99;
    std::strcpy(valueOut, "refused");
    std::strcpy(displayOut, "refused");
    return 1;
}

extern "C" int32_t __stdcall ObscureParam(const char*, int32_t, const char*, int32_t, int32_t, char* digitsOut,
                                          int32_t, int32_t, uint8_t, uint8_t, IParam*) {
    std::strcpy(digitsOut, "999");
    return 1;
}

extern "C" int32_t __stdcall EditParam(IParam*, char* valueOut, char* displayOut) {
    std::strcpy(valueOut, "refused");
    std::strcpy(displayOut, "refused");
    return 1;
}
