// Test extension whose three entry points succeed with fixed texts:
// value "12.5", display "High", code 7, digits "0917"; edit value "5" shown as "Five".
#include "contracts/ExtensionEntryPoints.h"

#include <cstring>

extern "C" int32_t __stdcall ExplainParam(const char*, int32_t, const char*, int32_t, const char*, int32_t, int32_t,
                                          uint16_t* code, char* valueOut, char* displayOut, IParam*) {
    *code = 7;
    std::strcpy(valueOut, "12.5");
    std::strcpy(displayOut, "High");
    return 0;
}

extern "C" int32_t __stdcall ObscureParam(const char*, int32_t, const char*, int32_t, int32_t, char* digitsOut,
                                          int32_t, int32_t, uint8_t, uint8_t, IParam*) {
    std::strcpy(digitsOut, "0917");
    return 0;
}

extern "C" int32_t __stdcall EditParam(IParam*, char* valueOut, char* displayOut) {
    std::strcpy(valueOut, "5");
    std::strcpy(displayOut, "Five");
    return 0;
}
