/* An explain extension that keeps 300,000 small blocks on the process heap
   (taken at its first call) and otherwise does nothing: a heap whose
   validation takes milliseconds, for timing calls that follow a pause. */
#include <windows.h>

#include <stdint.h>

struct IParam;

enum { KeptBlocks = 300000 };

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength,
                               int32_t paramId, uint16_t* explainCode, char* valueOut, char* displayOut,
                               struct IParam* param) {
    (void)valueText, (void)valueLength, (void)reserved, (void)reservedLength, (void)fieldBytes;
    (void)fieldLength, (void)paramId, (void)explainCode, (void)param;
    static int kept;
    for (HANDLE heap = GetProcessHeap(); kept < KeptBlocks; ++kept) HeapAlloc(heap, 0, 16);
    valueOut[0] = '\0';
    displayOut[0] = '\0';
    return 0;
}
