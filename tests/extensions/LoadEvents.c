// Shared by the test extensions: every load and unload of an extension module
// is appended to the process environment variable OVIX_TEST_LOAD_EVENTS as
// "+Name" or "-Name" (Name without ".dll"), so that tests can see exactly when
// the component loads and frees its libraries, and in which order. Plain C,
// so that the extensions unload without leaving anything behind.
#include <windows.h>

#include <string.h>

enum { EventsSize = 4096 };

// The file name of the module without its folder and extension.
static void ModuleBaseName(HINSTANCE instance, char* name, DWORD size) {
    char path[MAX_PATH] = {0};
    GetModuleFileNameA(instance, path, MAX_PATH);
    const char* slash = strrchr(path, '\\');
    const char* start = slash ? slash + 1 : path;
    lstrcpynA(name, start, (int)size);
    char* dot = strrchr(name, '.');
    if (dot) *dot = '\0';
}

static void AppendEvent(char sign, HINSTANCE instance) {
    char events[EventsSize] = {0};
    char name[MAX_PATH];
    ModuleBaseName(instance, name, MAX_PATH);
    // A full record starts afresh, as nobody has taken the events for long.
    DWORD length = GetEnvironmentVariableA("OVIX_TEST_LOAD_EVENTS", events, EventsSize);
    if (length + strlen(name) + 3 > EventsSize) length = 0;
    events[length] = sign;
    strcpy(events + length + 1, name);
    strcat(events, " ");
    SetEnvironmentVariableA("OVIX_TEST_LOAD_EVENTS", events);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) AppendEvent('+', instance);
    if (reason == DLL_PROCESS_DETACH) AppendEvent('-', instance);
    return TRUE;
}
