#include "HostWatch.h"

namespace {
// The exit code of a helper that its host's end ended.
constexpr UINT HostEndedExitCode = 0x484F5354;  // "HOST"
}  // namespace

bool HostWatch::Start(HANDLE host) {
    HANDLE watched = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), host, GetCurrentProcess(), &watched, SYNCHRONIZE, FALSE, 0)) return false;
    UniqueKernelHandle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!started) {
        CloseHandle(watched);
        return false;
    }
    Watched start{watched, started.Get()};  // read by the thread before it sets `started`
    FThread.Reset(CreateThread(nullptr, 64 * 1024, Watch, &start, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!FThread) {
        CloseHandle(watched);
        return false;
    }
    // The thread has passed the loader's thread notifications once it runs
    // its own code: only then may the library's DllMain take the loader lock.
    const HANDLE waited[2] = {started.Get(), FThread.Get()};
    if (WaitForMultipleObjects(2, waited, FALSE, INFINITE) == WAIT_OBJECT_0) return true;
    CloseHandle(watched);  // the thread ended before it took the handle
    return false;
}

DWORD WINAPI HostWatch::Watch(LPVOID parameter) {
    const auto* start = static_cast<const Watched*>(parameter);
    const HANDLE host = start->host;
    SetEvent(start->started);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    WaitForSingleObject(host, INFINITE);
    // Not ExitProcess: it would take the loader lock and call the library's
    // DllMain, which may be the very thing that does not return.
    TerminateProcess(GetCurrentProcess(), HostEndedExitCode);
    return 0;
}
