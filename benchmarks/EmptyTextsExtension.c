/* An explain extension that does nothing: it succeeds with an empty value
   text and an empty display text and leaves the code at 0, so that Explain
   through it costs the extension call and nothing of the extension's own. */
#include <stdint.h>

struct IParam;

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength,
                               int32_t paramId, uint16_t* explainCode, char* valueOut, char* displayOut,
                               struct IParam* param) {
    (void)valueText, (void)valueLength, (void)reserved, (void)reservedLength, (void)fieldBytes;
    (void)fieldLength, (void)paramId, (void)explainCode, (void)param;
    valueOut[0] = '\0';
    displayOut[0] = '\0';
    return 0;
}
