#pragma once
// Ends the helper the moment its host ends, whatever the helper is doing:
// sleeping between calls, running an extension that loops, showing its
// EditParam dialog, or still loading the library (whose DllMain may hold the
// loader lock for good); and ends it when the library's load takes longer
// than its limit. A thread of its own waits on the host's process handle and
// a timer; it is running before the library is loaded, so that the loader
// lock cannot keep it from starting.
#include "util/KernelHandle.h"

#include <windows.h>

#include <cstdint>

class HostWatch {
public:
    // Starts watching `host` (a handle with SYNCHRONIZE access, duplicated
    // here); false when the watch could not be started.
    bool Start(HANDLE host);

    // The library's load must end within `milliseconds` (0: no limit) of
    // this call, until LoadEnded().
    void LoadBegins(uint32_t milliseconds);
    void LoadEnded();

private:
    struct Watched {
        HANDLE host;     // owned by the thread from its start
        HANDLE timer;    // the load's limit
        HANDLE started;  // set once the thread runs its own code
    };
    static DWORD WINAPI Watch(LPVOID watched);

    UniqueKernelHandle FThread, FLoadTimer;
};
