// The entry points shared by the hostile test extensions.
#include "Hostile.h"

#include "TestExtension.h"

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength, int32_t paramId,
                               uint16_t* explainCode, char* valueOut, char* displayOut, IParam* param) {
    Misbehave();
    return 0;
}

int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param) {
    Misbehave();
    return 0;
}

int32_t __stdcall EditParam(IParam* param, char* valueOut, char* displayOut) {
    Misbehave();
    return 0;
}
