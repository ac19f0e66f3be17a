// Shared by the test extensions: every load and unload of an extension module
// is appended to the process environment variable OVIX_TEST_LOAD_EVENTS as
// "+Name" or "-Name" (Name without ".dll"), so that tests can see exactly when
// the component loads and frees its libraries, and in which order.
#include <windows.h>

#include <string>

namespace {

std::string ModuleBaseName(HINSTANCE instance) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(instance, path, MAX_PATH);
    std::string name(path);
    name = name.substr(name.find_last_of("\\/") + 1);
    return name.substr(0, name.rfind('.'));
}

void AppendEvent(char sign, HINSTANCE instance) {
    char events[4096] = {};
    GetEnvironmentVariableA("OVIX_TEST_LOAD_EVENTS", events, sizeof events);
    std::string updated(events);
    updated.push_back(sign);
    updated.append(ModuleBaseName(instance));
    updated.push_back(' ');
    SetEnvironmentVariableA("OVIX_TEST_LOAD_EVENTS", updated.c_str());
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) AppendEvent('+', instance);
    if (reason == DLL_PROCESS_DETACH) AppendEvent('-', instance);
    return TRUE;
}
