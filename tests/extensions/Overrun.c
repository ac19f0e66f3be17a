// Test extension that clears its display buffer with the size of a bigger
// one: it writes zeros past the 4096 bytes lent to it, into the host's memory.
#include "TestExtension.h"

#include <string.h>

enum { WrongBufferSize = 4200 };

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength, int32_t paramId,
                               uint16_t* explainCode, char* valueOut, char* displayOut, IParam* param) {
    memset(displayOut, 0, WrongBufferSize);
    strcpy(valueOut, "1");
    return 0;
}
