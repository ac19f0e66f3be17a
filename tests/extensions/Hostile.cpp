// The entry points shared by the hostile test extensions.
#include "Hostile.h"

#include "contracts/ExtensionEntryPoints.h"

extern "C" int32_t __stdcall ExplainParam(const char*, int32_t, const char*, int32_t, const char*, int32_t, int32_t,
                                          uint16_t*, char*, char*, IParam*) {
    Misbehave();
    return 0;
}

extern "C" int32_t __stdcall ObscureParam(const char*, int32_t, const char*, int32_t, int32_t, char*, int32_t,
                                          int32_t, uint8_t, uint8_t, IParam*) {
    Misbehave();
    return 0;
}

extern "C" int32_t __stdcall EditParam(IParam*, char*, char*) {
    Misbehave();
    return 0;
}
