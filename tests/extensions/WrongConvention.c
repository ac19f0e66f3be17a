// Test extension built against the contract's calling convention: ExplainParam
// is cdecl (leaves its 44 bytes of arguments on the stack), ObscureParam
// declares fewer arguments than it is passed and EditParam more, so both
// remove the wrong number of bytes. Each still does its job and succeeds.
#include <stdint.h>
#include <string.h>

typedef struct IParam IParam;

int32_t __cdecl ExplainParam(const char* valueText, int32_t valueLength, const char* reserved, int32_t reservedLength,
                             const char* fieldBytes, int32_t fieldLength, int32_t paramId, uint16_t* explainCode,
                             char* valueOut, char* displayOut, IParam* param) {
    *explainCode = 3;
    strcpy(valueOut, "cdecl");
    strcpy(displayOut, "cdecl");
    return 0;
}

int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut) {
    strcpy(digitsOut, "42");
    return 0;
}

int32_t __stdcall EditParam(IParam* param, char* valueOut, char* displayOut, int32_t extra1, int32_t extra2,
                            int32_t extra3, int32_t extra4) {
    strcpy(valueOut, "7");
    strcpy(displayOut, "Seven");
    return 0;
}
