// Subjects of `param_host check`, one per mistake, chosen by the macro the
// build defines (CMakeLists.txt). Each explains every parameter id as "1",
// "one" and obscures every value as "1", except for the mistake it was made
// with; the correct ones make none.
#define COBJMACROS
#include <windows.h>

#include "ParamExtension.h"
#include "Vantrel_TLB_h.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define EXPORTED __declspec(dllexport)

static void WriteTexts(char* valueOut, char* displayOut, const char* value, const char* display) {
    strcpy(valueOut, value);
    strcpy(displayOut, display);
}

#if defined(MISTAKE_LATE_THREAD)
// Keeps the IParam of its call with parameter id 1 and calls it from a
// thread of its own once no call has come for a second.
static IParam* kept;
static volatile LONG lastCall;

static DWORD WINAPI CallWhenIdle(LPVOID unused) {
    while ((LONG)GetTickCount() - lastCall < 1000) Sleep(50);
    LONG id = 0;
    IParam_GetParamId(kept, &id);
    return 0;
}
#endif

#if defined(MISTAKE_HEAP_OVERRUN)
char* lastName;  // the name of the latest call
#endif

#if defined(CALL_LEAK_BYTES)
void* lastLeaked;  // the block of the latest call, never freed
#endif

#if defined(MISTAKE_ENDLESS)
static volatile int forever = 1;
#endif

#if defined(MISTAKE_HEAP_LOCK_THREAD)
// A worker started by the call with parameter id 1 that takes the process
// heap's lock and keeps it: the call itself returns at once.
static HANDLE locked;

static DWORD WINAPI HoldTheHeap(LPVOID unused) {
    HeapLock(GetProcessHeap());
    SetEvent(locked);
    Sleep(INFINITE);
    return 0;
}
#endif

#if defined(FORGES_END) || defined(FORGES_END_AT_LOAD) || defined(FORGES_END_ON_PIPES)
// Says "end" where the checker's child once sent its records, its standard
// output (or every pipe of the process), and ends the process, as if the
// child had finished its task.
static void ForgeEndAndExit(void) {
    DWORD written = 0;
#if defined(FORGES_END_ON_PIPES)
    for (ULONG_PTR value = 4; value < 0x4000; value += 4)
        if (GetFileType((HANDLE)value) == FILE_TYPE_PIPE) WriteFile((HANDLE)value, "end\n", 4, &written, NULL);
#else
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "end\n", 4, &written, NULL);
#endif
    ExitProcess(0);
}
#endif

#if defined(MISTAKE_THREAD_FAULT)
// A worker started at the first call with parameter id 1 that reads through
// a pointer it was never given, a little later.
static volatile int* volatile nothing;
static int started;

static DWORD WINAPI ReadNothing(LPVOID unused) {
    Sleep(100);
    return (DWORD)*nothing;
}
#endif

EXPORTED int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                                        int32_t reservedLength, const char* fieldBytes, int32_t fieldLength,
                                        int32_t paramId, uint16_t* explainCode, char* valueOut, char* displayOut,
                                        IParam* param) {
#if defined(MISTAKE_HEAP_OVERRUN)
    // A name buffer sized for the short names, overrun by the long one of parameter id 2.
    free(lastName);
    lastName = malloc(OVERRUN_BLOCK);
    if (lastName) memset(lastName, 'A', paramId == 2 ? OVERRUN_BYTES : OVERRUN_BLOCK);
#elif defined(CALL_LEAK_BYTES)
    static unsigned calls;
    if (calls++ % CALL_LEAK_EVERY == 0) lastLeaked = malloc(CALL_LEAK_BYTES);
#elif defined(MISTAKE_LATE_THREAD)
    lastCall = (LONG)GetTickCount();
    if (paramId == 1 && !kept) {
        kept = param;
        HANDLE thread = CreateThread(NULL, 0, CallWhenIdle, NULL, 0, NULL);
        if (thread) CloseHandle(thread);
    }
#elif defined(MISTAKE_NOT_GBK)
    if (paramId == 1) {
        WriteTexts(valueOut, displayOut, "25", "25\xB0");  // ° in Latin-1
        return 0;
    }
#elif defined(CORRECT_GBK)
    static const char* const Displays[] = {"\xCE\xB4", "1\xC2\xB7", "\xCE\xB4\xD6\xAA(7)", "\xD4\xCB\xD0\xD0"};
    WriteTexts(valueOut, displayOut, "1", Displays[(unsigned)paramId % 4]);  // 未, 1路, 未知(7), 运行
    return 0;
#elif defined(CALL_RESERVE_KIB)
    VirtualAlloc(NULL, CALL_RESERVE_KIB * 1024, MEM_RESERVE, PAGE_NOACCESS);
#elif defined(MISTAKE_SLOW)
    Sleep(20);
#elif defined(ONLY_5000)
    if (paramId != 5000) return 1;
#elif defined(MISTAKE_EXIT)
    if (paramId == 1) exit(7);
#elif defined(MISTAKE_ABORT)
    if (paramId == 1) abort();
#elif defined(MISTAKE_THREAD_FAULT)
    if (paramId == 1 && !started) {
        started = 1;
        HANDLE thread = CreateThread(NULL, 0, ReadNothing, NULL, 0, NULL);
        if (thread) CloseHandle(thread);
    }
#elif defined(MISTAKE_HEAP_LOCK_THREAD)
    if (paramId == 1 && !locked && (locked = CreateEventA(NULL, TRUE, FALSE, NULL)) != NULL) {
        HANDLE thread = CreateThread(NULL, 0, HoldTheHeap, NULL, 0, NULL);
        if (thread) {
            WaitForSingleObject(locked, INFINITE);
            CloseHandle(thread);
        }
    }
#elif defined(MISTAKE_ENDLESS)
    if (paramId == 1 && fieldLength == 0)
        while (forever) {
        }
#elif defined(FORGES_END) || defined(FORGES_END_ON_PIPES)
    ForgeEndAndExit();
#elif defined(PRINTS_DEBUG)
    printf("ExplainParam id %d, %d field bytes\n", (int)paramId, (int)fieldLength);
    puts("end");
#endif
    WriteTexts(valueOut, displayOut, "1", "one");
    return 0;
}

EXPORTED int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                                        int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t intA,
                                        int32_t intB, uint8_t byteA, uint8_t byteB, IParam* param) {
#if defined(ONLY_5000)
    if (paramId != 5000) return 1;
#elif defined(PRINTS_DEBUG)
    printf("ObscureParam id %d\nend\n", (int)paramId);
    fflush(stdout);
#endif
    strcpy(digitsOut, "1");
    return 0;
}

#if defined(MISTAKE_EDIT_WINDOW)
// Opens a window on the host's screen (here: shows and closes it at once).
EXPORTED int32_t __stdcall EditParam(IParam* param, char* valueOut, char* displayOut) {
    HWND window = CreateWindowExA(0, "STATIC", "Edit parameter", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                  NULL, NULL, NULL, NULL);
    if (window) DestroyWindow(window);
    WriteTexts(valueOut, displayOut, "1", "one");
    return 0;
}
#endif

#if defined(UNUSED_EXPORT)
// An export of its own that the component does not know: calling it would end the process.
EXPORTED int32_t __stdcall InitParam(int32_t paramId, char* valueOut, char* displayOut) {
    ExitProcess(77);
}
#endif

#if defined(LOAD_RESERVE_KIB) || defined(MISTAKE_TLS_NO_FREE) || defined(MISTAKE_LOAD_FAULT)
#if defined(MISTAKE_LOAD_FAULT)
static volatile int* volatile nowhere;
#endif

// Takes at every load what it never gives back, or faults while loading.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
#if defined(MISTAKE_LOAD_FAULT)
    *nowhere = 1;
#elif defined(LOAD_RESERVE_KIB)
    VirtualAlloc(NULL, LOAD_RESERVE_KIB * 1024, MEM_RESERVE, PAGE_NOACCESS);
#else
    TlsAlloc();
#endif
    return TRUE;
}
#endif

#if defined(FORGES_END_AT_LOAD)
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) ForgeEndAndExit();
    return TRUE;
}
#endif

#if defined(MISTAKE_LOAD_FOREVER)
// Its load never ends.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) Sleep(INFINITE);
    return TRUE;
}
#endif

#if defined(MISTAKE_SLOW_LOAD)
// Takes a second at every load: the load and free cycles fall silent.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) Sleep(1000);
    return TRUE;
}
#endif

#if defined(MISTAKE_LOAD_DIVIDE) || defined(MISTAKE_LOAD_RAISE) || defined(MISTAKE_LOAD_FALSE) || \
    defined(DIES_AT_LOAD)

#if defined(DIES_AT_LOAD)
// Which load of the library this is, counted in the file that
// CHECK_LOAD_COUNT_FILE names (1 when there is none).
static int ThisLoad(void) {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("CHECK_LOAD_COUNT_FILE", path, sizeof path);
    if (length == 0 || length >= sizeof path) return 1;
    int loads = 0;
    FILE* file = fopen(path, "r");
    if (file) {
        if (fscanf(file, "%d", &loads) != 1) loads = 0;
        fclose(file);
    }
    file = fopen(path, "w");
    if (file) {
        fprintf(file, "%d", ++loads);
        fclose(file);
    }
    return loads;
}
#endif

static volatile int zero, seven = 7;

// Fails in DllMain as a library whose start-up goes wrong: at every load,
// or at the load DIES_AT_LOAD (by exit() with DIES_BY_EXIT, else FALSE).
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
#if defined(MISTAKE_LOAD_DIVIDE)
    return seven / zero;
#elif defined(MISTAKE_LOAD_RAISE)
    RaiseException(LOAD_RAISE_CODE, 0, 0, NULL);
    return TRUE;
#elif defined(MISTAKE_LOAD_FALSE)
    return FALSE;
#else
    if (ThisLoad() != DIES_AT_LOAD) return TRUE;
#if defined(DIES_BY_EXIT)
    exit(9);
#endif
    return FALSE;
#endif
}
#endif
