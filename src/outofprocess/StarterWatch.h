#pragma once
// Ends this process the moment the process that started it ends, whatever
// this one is doing: waiting for work, running an extension that loops or
// shows a dialog, or still loading a library (whose DllMain may hold the
// loader lock for good); and ends it when a library's load takes longer than
// its limit. A thread of its own waits on the starter's process handle and a
// timer; it is running before any library is loaded, so that the loader lock
// cannot keep it from starting.
#include "util/KernelHandle.h"

#include <windows.h>

#include <cstdint>

// The exit codes the watch ends this process with.
struct WatchEndCodes {
    UINT starterEnded;
    UINT loadTimedOut;
};

class StarterWatch {
public:
    // Starts watching `starter` (a handle with SYNCHRONIZE access,
    // duplicated here); false when the watch could not be started.
    bool Start(HANDLE starter, WatchEndCodes codes);

    // The library's load must end within `milliseconds` (0: no limit) of
    // this call, until LoadEnded().
    void LoadBegins(uint32_t milliseconds);
    void LoadEnded();

private:
    struct Watched {
        HANDLE starter;  // owned by the thread from its start
        HANDLE timer;    // the load's limit
        HANDLE started;  // set once the thread runs its own code
        WatchEndCodes codes;
    };
    static DWORD WINAPI Watch(LPVOID watched);

    UniqueKernelHandle FThread, FLoadTimer;
};
