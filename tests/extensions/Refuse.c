// Test extension whose three entry points report failure (result 1) after
// scribbling into their out-buffers, which the caller must then ignore.
#include "TestExtension.h"

#include <string.h>

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength, int32_t paramId,
                               uint16_t* explainCode, char* valueOut, char* displayOut, IParam* param) {
    *explainCode = 99;
    strcpy(valueOut, "refused");
    strcpy(displayOut, "refused");
    return 1;
}

int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param) {
    strcpy(digitsOut, "999");
    return 1;
}

int32_t __stdcall EditParam(IParam* param, char* valueOut, char* displayOut) {
    strcpy(valueOut, "refused");
    strcpy(displayOut, "refused");
    return 1;
}
