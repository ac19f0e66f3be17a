// Test extension whose ObscureParam hands the value text back as the digit
// text ("12.34" stays "12.34"), although only the digits 0 to 9 can be sent.
#include "TestExtension.h"

#include <string.h>

int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param) {
    if (valueLength <= 0 || valueLength >= 4096 || memchr(valueText, '\0', (size_t)valueLength)) return 1;
    memcpy(digitsOut, valueText, (size_t)valueLength);
    digitsOut[valueLength] = '\0';
    return 0;
}
