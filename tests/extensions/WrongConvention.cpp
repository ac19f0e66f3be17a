// Test extension built against the contract's calling convention: ExplainParam
// is cdecl (leaves its 44 bytes of arguments on the stack), ObscureParam
// declares fewer arguments than it is passed and EditParam more, so both
// remove the wrong number of bytes. Each still does its job and succeeds.
#include "contracts/ExtensionEntryPoints.h"

#include <cstring>

extern "C" int32_t __cdecl ExplainParam(const char*, int32_t, const char*, int32_t, const char*, int32_t, int32_t,
                                        uint16_t* code, char* valueOut, char* displayOut, IParam*) {
    *code = 3;
    std::strcpy(valueOut, "cdecl");
    std::strcpy(displayOut, "cdecl");
    return 0;
}

extern "C" int32_t __stdcall ObscureParam(const char*, int32_t, const char*, int32_t, int32_t, char* digitsOut) {
    std::strcpy(digitsOut, "42");
    return 0;
}

extern "C" int32_t __stdcall EditParam(IParam*, char* valueOut, char* displayOut, int32_t, int32_t, int32_t,
                                       int32_t) {
    std::strcpy(valueOut, "7");
    std::strcpy(displayOut, "Seven");
    return 0;
}
