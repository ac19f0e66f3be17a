// Test extension whose three entry points succeed with fixed texts:
// value "12.5", display "High", code 7, digits "0917"; edit value "5" shown as "Five".
#include "TestExtension.h"

#include <string.h>

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength, int32_t paramId,
                               uint16_t* explainCode, char* valueOut, char* displayOut, IParam* param) {
    *explainCode = 7;
    strcpy(valueOut, "12.5");
    strcpy(displayOut, "High");
    return 0;
}

int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param) {
    strcpy(digitsOut, "0917");
    return 0;
}

int32_t __stdcall EditParam(IParam* param, char* valueOut, char* displayOut) {
    strcpy(valueOut, "5");
    strcpy(displayOut, "Five");
    return 0;
}
