// Test extension for the isolation tests: each library built from this file
// misbehaves in one way (MISBEHAVIOUR, below) at every call for parameter
// 13, and succeeds otherwise: value "ok", display "good", explain code 3,
// digits "0917", edit value "5" shown as "Five". The misbehaviour happens
// where a real extension's would, with the output buffer of the call at hand.
#define COBJMACROS
#include <windows.h>

#include "Vantrel_TLB_h.h"
#include "TestExtension.h"

#include <stdlib.h>
#include <string.h>

enum { BadParamId = 13 };

#define LOOP 1
#define EXIT 2
#define ABORT 3
#define CORRUPT_HEAP 4
#define ACCESS_VIOLATION 5
#define LEAK 6
#define KEEP_PARAM 7
#define UNTERMINATED 8
#define PAST_END 9
#define THROW 10
#define MSVC_THROW 11
#define KEEP_FIRST_PARAM 12
#define KEEP_FIRST_PARAM_THREADS 13
#define GROW_AFTER_RETURN 14

// Throw.cpp: lets a C++ exception fly (in the library built with it).
void ThrowOutOfTheEntryPoint(void);

#if MISBEHAVIOUR == KEEP_PARAM
static IParam* kept;

static DWORD WINAPI AskKeptParam(LPVOID unused) {
    LONG id = 0;
    IParam_GetParamId(kept, &id);
    return 0;
}
#endif

#if MISBEHAVIOUR == KEEP_FIRST_PARAM_THREADS
static IParam* volatile first;

// Asks the kept object without a pause, for as long as the helper runs.
static DWORD WINAPI AskFirstParamForever(LPVOID unused) {
    for (;;) {
        LONG id = 0;
        IParam_GetParamId(first, &id);
    }
    return 0;
}
#endif

#if MISBEHAVIOUR == GROW_AFTER_RETURN
// 128 MiB, committed a moment after the call returned.
static DWORD WINAPI GrowLater(LPVOID unused) {
    Sleep(300);
    VirtualAlloc(NULL, 128u << 20, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    return 0;
}
#endif

#if MISBEHAVIOUR == LOOP
// Tells a test that waits for the loop that it starts: the event named in
// ISOLATION_TEST_LOOP_EVENT, when there is one.
static void SayTheLoopStarts(void) {
    char name[128];
    const DWORD length = GetEnvironmentVariableA("ISOLATION_TEST_LOOP_EVENT", name, sizeof name);
    if (length == 0 || length >= sizeof name) return;
    HANDLE started = OpenEventA(EVENT_MODIFY_STATE, FALSE, name);
    if (!started) return;
    SetEvent(started);
    CloseHandle(started);
}
#endif

// Returns 1 when the call is to return at once, with its outputs as they are.
static int Misbehave(char* out, IParam* param) {
#if MISBEHAVIOUR == LOOP
    SayTheLoopStarts();
    for (volatile int spin = 0; spin >= 0; spin = spin & 1) {}
#elif MISBEHAVIOUR == EXIT
    exit(7);
#elif MISBEHAVIOUR == ABORT
    abort();
#elif MISBEHAVIOUR == CORRUPT_HEAP
    // Writes past a block of the process heap, over the heap's records of the
    // block after it, and frees that one.
    HANDLE heap = GetProcessHeap();
    char* volatile block = HeapAlloc(heap, 0, 24);
    char* volatile next = HeapAlloc(heap, 0, 24);
    char* volatile low = block < next ? block : next;
    memset(low, 0xAB, 24 + 32);
    HeapFree(heap, 0, block < next ? next : block);
#elif MISBEHAVIOUR == ACCESS_VIOLATION
    static int* volatile nowhere;
    *nowhere = 1;
#elif MISBEHAVIOUR == KEEP_PARAM
    // Asks the object of its previous call, from a thread of its own.
    if (kept) {
        HANDLE thread = CreateThread(NULL, 0, AskKeptParam, NULL, 0, NULL);
        if (thread) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
    }
    kept = param;
#elif MISBEHAVIOUR == KEEP_FIRST_PARAM
    // Keeps the object of its first call and asks it at every later one,
    // on the calling thread, while another call's object is lent.
    static IParam* first;
    if (first) {
        LONG id = 0;
        IParam_GetParamId(first, &id);
    } else {
        first = param;
    }
#elif MISBEHAVIOUR == KEEP_FIRST_PARAM_THREADS
    // Keeps the object of its first call and, from the second call on, asks
    // it from two threads at once while later calls come.
    static int asking;
    if (!first) {
        first = param;
    } else if (!asking) {
        asking = 1;
        for (int thread = 0; thread < 2; ++thread) CloseHandle(CreateThread(NULL, 0, AskFirstParamForever, NULL, 0, NULL));
    }
#elif MISBEHAVIOUR == GROW_AFTER_RETURN
    CloseHandle(CreateThread(NULL, 0, GrowLater, NULL, 0, NULL));
#elif MISBEHAVIOUR == UNTERMINATED
    memset(out, 'A', 4096);
    return 1;
#elif MISBEHAVIOUR == PAST_END
    memset(out, 'A', 4096 + 512);
    return 1;
#elif MISBEHAVIOUR == THROW
    ThrowOutOfTheEntryPoint();
#elif MISBEHAVIOUR == MSVC_THROW
    // As a library built with Microsoft's compiler throws.
    static int thrownObject = 42;
    const ULONG_PTR parameters[] = {0x19930520, (ULONG_PTR)&thrownObject, 0};
    RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 3, parameters);
#endif
    return 0;
}

static void Work(char* out, IParam* param) {
#if MISBEHAVIOUR == LEAK
    // A MiB at every call, each byte touched: private bytes that stay.
    static char* volatile leaked;
    leaked = malloc(1 << 20);
    if (leaked) memset(leaked, 1, 1 << 20);
#endif
    (void)out, (void)param;
}

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength, int32_t paramId,
                               uint16_t* explainCode, char* valueOut, char* displayOut, IParam* param) {
    Work(valueOut, param);
    if (paramId == BadParamId && Misbehave(valueOut, param)) return 0;
    *explainCode = 3;
    strcpy(valueOut, "ok");
    strcpy(displayOut, "good");
    return 0;
}

int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param) {
    Work(digitsOut, param);
    if (paramId == BadParamId && Misbehave(digitsOut, param)) return 0;
    strcpy(digitsOut, "0917");
    return 0;
}

int32_t __stdcall EditParam(IParam* param, char* valueOut, char* displayOut) {
    LONG paramId = 0;
    IParam_GetParamId(param, &paramId);
    Work(valueOut, param);
    if (paramId == BadParamId && Misbehave(valueOut, param)) return 0;
    strcpy(valueOut, "5");
    strcpy(displayOut, "Five");
    return 0;
}
