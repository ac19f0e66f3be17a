// Test extension that leaves behind at every unload what a MinGW C++ library
// with its runtime linked in leaves: a thread-local storage slot, two handles
// and about 19 KB of heap, taken at its first call after each load.
#include "TestExtension.h"

#include <windows.h>

#include <string.h>

enum { LeakedHeapBytes = 19 * 1024 };

static int initialised;

static void InitialiseOnce(void) {
    if (initialised) return;
    initialised = 1;
    TlsAlloc();
    CreateEventA(NULL, TRUE, FALSE, NULL);
    CreateEventA(NULL, TRUE, FALSE, NULL);
    HeapAlloc(GetProcessHeap(), 0, LeakedHeapBytes);
}

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength, int32_t paramId,
                               uint16_t* explainCode, char* valueOut, char* displayOut, IParam* param) {
    InitialiseOnce();
    strcpy(valueOut, "1");
    strcpy(displayOut, "one");
    return 0;
}
