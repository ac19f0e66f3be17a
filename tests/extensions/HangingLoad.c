// Test extension whose DllMain never returns at its load, as a library that
// waits at its start for a device or a server that never answers. Its entry
// points would answer, but no call ever gets there.
#include <windows.h>

#include "TestExtension.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH)
        for (;;) Sleep(1000);
    return TRUE;
}

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength, int32_t paramId,
                               uint16_t* explainCode, char* valueOut, char* displayOut, IParam* param) {
    return 1;
}

int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param) {
    return 1;
}

int32_t __stdcall EditParam(IParam* param, char* valueOut, char* displayOut) { return 1; }
