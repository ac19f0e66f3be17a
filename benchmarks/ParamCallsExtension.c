/* An explain extension that asks the host's object for its id 20 times and
   gives empty texts: Explain through it, less Explain through the one that
   does nothing, is the cost of 20 IParam calls. */
#define COBJMACROS
#include <windows.h>

#include "Vantrel_TLB_h.h"
#include "ParamExtension.h"

enum { ParamCallsPerExplain = 20 };

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength,
                               int32_t paramId, uint16_t* explainCode, char* valueOut, char* displayOut,
                               IParam* param) {
    (void)valueText, (void)valueLength, (void)reserved, (void)reservedLength, (void)fieldBytes;
    (void)fieldLength, (void)paramId, (void)explainCode;
    LONG id = 0;
    for (int i = 0; i < ParamCallsPerExplain; ++i) IParam_GetParamId(param, &id);
    valueOut[0] = '\0';
    displayOut[0] = '\0';
    return 0;
}
