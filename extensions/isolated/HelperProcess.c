/* The helper process of a loaded copy: its channel, its start and its end. */
#include "Isolation.h"
#include "childprocess/EndingNames.h"

#include <stdio.h>
#include <string.h>

enum { HelperQuitMs = 2000, LoadBegunPollMs = 10 };

int CreateChannel(Isolation* isolation) {
    if (!CreateChannelObjects(&isolation->objects, sizeof(IsolationChannel))) return 0;
    isolation->channel =
        MapViewOfFile(isolation->objects.mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(IsolationChannel));
    return isolation->channel != NULL;
}

void CloseChannel(Isolation* isolation) {
    if (isolation->channel) UnmapViewOfFile(isolation->channel);
    isolation->channel = NULL;
    CloseChannelObjects(&isolation->objects);
}

static void ResetChannel(IsolationChannel* channel) {
    channel->turn = TurnIdle;
    channel->helperSleeps = 0;
    channel->hostSleeps = 0;
    channel->endedBetweenCalls = EndNone;
}

static int LaunchHelper(Isolation* isolation, char* reason, size_t capacity) {
    PROCESS_INFORMATION created;
    if (!StartWithChannelObjects(&isolation->objects, isolation->config.helperPath, &created)) {
        snprintf(reason, capacity, "the helper ParamExtensionHost.exe could not be started (error %lu)",
                 GetLastError());
        return 0;
    }
    CloseHandle(created.hThread);
    isolation->process = created.hProcess;
    isolation->processId = created.dwProcessId;
    return 1;
}

int StartHelper(Isolation* isolation, char* reason, size_t capacity) {
    IsolationChannel* channel = isolation->channel;
    ResetChannel(channel);
    wcsncpy(channel->library, isolation->config.library, 4095);
    channel->library[4095] = 0;
    channel->memoryLimitMegabytes = isolation->config.memoryMb;
    channel->loadTimeoutMs = isolation->config.loadTimeoutMs;
    channel->loadBegun = 0;
    channel->request = RequestStart;
    if (!LaunchHelper(isolation, reason, capacity)) return 0;
    PostTurn(channel, TurnHelperCall, &channel->helperSleeps, isolation->objects.helperEvent);
    isolation->loading = 1;
    isolation->loadWaited = 0;
    isolation->loadStarted = GetTickCount64();
    return 1;
}

static ULONGLONG Earlier(ULONGLONG a, ULONGLONG b) { return a < b ? a : b; }

/* Waits until the helper has begun to load (its own start is done), the
 * load is answered, the helper ends or `limit` passes. */
static enum WaitEnd WaitForLoadToBegin(Isolation* isolation, ULONGLONG limit) {
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (isolation->channel->loadBegun) return WaitTimedOut;
        if (now >= limit) return WaitTimedOut;
        const enum WaitEnd end = WaitForHelper(isolation, NULL, Earlier(now + LoadBegunPollMs, limit));
        if (end != WaitTimedOut) return end;
    }
}

/* How long a call of `entry` waits for the load: see AwaitLoad. */
static enum WaitEnd WaitForLoad(Isolation* isolation, int32_t entry, ULONGLONG limit) {
    if (entry == HasEdit) return WaitForHelper(isolation, NULL, limit);
    if (isolation->loadWaited) return WaitForHelper(isolation, NULL, GetTickCount64());
    isolation->loadWaited = 1;
    const enum WaitEnd begun = WaitForLoadToBegin(isolation, limit);
    if (begun != WaitTimedOut) return begun;
    const uint32_t timeoutMs = isolation->config.timeoutMs;
    const ULONGLONG deadline = timeoutMs ? Earlier(GetTickCount64() + timeoutMs, limit) : limit;
    return WaitForHelper(isolation, NULL, deadline);
}

static enum LoadWait LoadAnswered(Isolation* isolation, char* reason, size_t capacity) {
    IsolationChannel* channel = isolation->channel;
    channel->turn = TurnIdle;
    isolation->loading = 0;
    if (channel->outcome == OutcomeNotLoaded) {
        if (channel->loadException)
            snprintf(reason, capacity,
                     "the library could not be loaded in the helper (error %lu; its DllMain raised exception %08lX)",
                     (unsigned long)channel->lastError, (unsigned long)channel->loadException);
        else
            snprintf(reason, capacity, "the library could not be loaded in the helper (error %lu)",
                     (unsigned long)channel->lastError);
        QuitHelper(isolation);
        return LoadFailed;
    }
    isolation->entryMask = channel->entryMask;
    return LoadReady;
}

enum LoadWait AwaitLoad(Isolation* isolation, int32_t entry, char* reason, size_t capacity) {
    const ULONGLONG limit = isolation->loadStarted + isolation->config.loadTimeoutMs;
    const enum WaitEnd end = WaitForLoad(isolation, entry, limit);
    if (end == WaitTurn) return LoadAnswered(isolation, reason, capacity);
    DWORD code = 0;
    if (end == WaitHelperEnded) GetExitCodeProcess(isolation->process, &code);
    if (code == HelperExitLoadTimedOut || (end == WaitTimedOut && GetTickCount64() >= limit)) {
        snprintf(reason, capacity, "the library did not finish loading within load_timeout_ms (%u ms)",
                 (unsigned)isolation->config.loadTimeoutMs);
        return LoadTimedOut;
    }
    if (end == WaitTimedOut) {
        snprintf(reason, capacity, "the library was still loading in the helper (%u ms so far)",
                 (unsigned)(GetTickCount64() - isolation->loadStarted));
        return LoadPending;
    }
    char why[200];
    DescribeHelperEnd(isolation->process, why, sizeof why);
    snprintf(reason, capacity, "the helper failed at its start: %s", why);
    EndHelper(isolation);
    return LoadFailed;
}

void EndHelper(Isolation* isolation) {
    if (!isolation->process) return;
    TerminateProcess(isolation->process, 1);
    WaitForSingleObject(isolation->process, HelperQuitMs);
    CloseHandle(isolation->process);
    isolation->process = NULL;
    isolation->loading = 0;
}

void QuitHelper(Isolation* isolation) {
    if (!isolation->process) return;
    if (isolation->loading) {  /* it could not take the request before the load */
        EndHelper(isolation);
        return;
    }
    PostTurn(isolation->channel, TurnHelperQuit, &isolation->channel->helperSleeps, isolation->objects.helperEvent);
    WaitForSingleObject(isolation->process, HelperQuitMs);
    EndHelper(isolation);
}

void DescribeHelperEnd(HANDLE process, char* text, size_t capacity) {
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    const char* name = ExceptionName(code);
    if (name)
        snprintf(text, capacity, "%s (exception %08lX)", name, (unsigned long)code);
    else if (code == AbortExitCode)
        snprintf(text, capacity, "the helper ended with exit code 3 (abort(), or an escaping C++ exception)");
    else if (code == HelperExitLoadTimedOut)
        snprintf(text, capacity, "the library did not finish loading within load_timeout_ms");
    else if (code >= 0xC0000000)
        snprintf(text, capacity, "unhandled exception %08lX", (unsigned long)code);
    else
        snprintf(text, capacity, "the helper ended with exit code %lu (exit() or ExitProcess)", (unsigned long)code);
}
