#include "OtherThreads.h"

#include <tlhelp32.h>

OtherThreads::OtherThreads() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    const DWORD process = GetCurrentProcessId(), self = GetCurrentThreadId();
    DWORD ids[Capacity];
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more && count < Capacity; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == process && entry.th32ThreadID != self) ids[count++] = entry.th32ThreadID;
    CloseHandle(snapshot);
    for (int i = 0; i < count; ++i) {
        HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, ids[i]);
        if (!thread) continue;
        if (SuspendThread(thread) == static_cast<DWORD>(-1)) {
            CloseHandle(thread);
            continue;
        }
        // Suspension is asynchronous: reading the context waits until it holds.
        CONTEXT context{};
        context.ContextFlags = CONTEXT_CONTROL;
        GetThreadContext(thread, &context);
        FHeld[FCount++] = thread;
    }
}

OtherThreads::~OtherThreads() {
    for (int i = 0; i < FCount; ++i) {
        ResumeThread(FHeld[i]);
        CloseHandle(FHeld[i]);
    }
}
