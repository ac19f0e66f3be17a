// Test extension that keeps the IParam pointer it is lent and calls it later:
// at each call with parameter id 1 it first asks the object of its previous
// call for its parameter id, from a thread of its own, after that call has
// long returned. (Only then: a thread started and joined at every call would
// make every call slow.)
#define COBJMACROS
#include <windows.h>

#include "Vantrel_TLB_h.h"

#include <stdint.h>
#include <string.h>

static IParam* kept;

static DWORD WINAPI AskKeptParam(LPVOID unused) {
    LONG id = 0;
    IParam_GetParamId(kept, &id);
    return 0;
}

static void CallKeptParamFromAnotherThread(void) {
    if (!kept) return;
    HANDLE thread = CreateThread(NULL, 0, AskKeptParam, NULL, 0, NULL);
    if (!thread) return;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength, int32_t paramId,
                               uint16_t* explainCode, char* valueOut, char* displayOut, IParam* param) {
    if (paramId == 1) CallKeptParamFromAnotherThread();
    kept = param;
    strcpy(valueOut, "1");
    strcpy(displayOut, "one");
    return 0;
}
