#include "StarterWatch.h"

bool StarterWatch::Start(HANDLE starter, WatchEndCodes codes) {
    HANDLE watched = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), starter, GetCurrentProcess(), &watched, SYNCHRONIZE, FALSE, 0))
        return false;
    UniqueKernelHandle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    FLoadTimer.Reset(CreateWaitableTimerW(nullptr, TRUE, nullptr));
    if (!started || !FLoadTimer) {
        CloseHandle(watched);
        return false;
    }
    Watched start{watched, FLoadTimer.Get(), started.Get(), codes};  // read by the thread before it sets `started`
    FThread.Reset(CreateThread(nullptr, 64 * 1024, Watch, &start, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!FThread) {
        CloseHandle(watched);
        return false;
    }
    // The thread has passed the loader's thread notifications once it runs
    // its own code: only then may a library's DllMain take the loader lock.
    const HANDLE waited[2] = {started.Get(), FThread.Get()};
    if (WaitForMultipleObjects(2, waited, FALSE, INFINITE) == WAIT_OBJECT_0) return true;
    CloseHandle(watched);  // the thread ended before it took the handle
    return false;
}

DWORD WINAPI StarterWatch::Watch(LPVOID parameter) {
    const Watched start = *static_cast<const Watched*>(parameter);
    const HANDLE waited[2] = {start.starter, start.timer};
    SetEvent(start.started);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    const DWORD woken = WaitForMultipleObjects(2, waited, FALSE, INFINITE);
    // Not ExitProcess: it would take the loader lock and call the library's
    // DllMain, which may be the very thing that does not return.
    TerminateProcess(GetCurrentProcess(),
                     woken == WAIT_OBJECT_0 + 1 ? start.codes.loadTimedOut : start.codes.starterEnded);
    return 0;
}

void StarterWatch::LoadBegins(uint32_t milliseconds) {
    if (!milliseconds) return;
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(milliseconds) * 10000;  // relative, in 100 ns
    SetWaitableTimer(FLoadTimer.Get(), &due, 0, nullptr, nullptr, FALSE);
}

void StarterWatch::LoadEnded() { CancelWaitableTimer(FLoadTimer.Get()); }
