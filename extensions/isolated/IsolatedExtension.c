// IsolatedExtension.dll: an extension library of OvixParamTransactor that
// runs another extension (named in the .ini with its own base name) in a
// helper process, ParamExtensionHost.exe, so that nothing that extension does
// can take the host down: a crash, exit(), abort(), an escaping C++
// exception, heap corruption, an endless loop or a leak costs the call it
// happened in (the call declines), and the helper is started again for the
// next one. Plain C like the sample, so that an unload leaves nothing behind.
#define COBJMACROS
#include <windows.h>

#include "Vantrel_TLB_h.h"
#include "ParamExtension.h"

#include "Isolation.h"
#include "IsolationLog.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { Declined = 1, ReasonCapacity = 400 };

static HMODULE OwnModule;
static CRITICAL_SECTION Lock;
static Isolation* State;  // made at the first call, given back at the unload

static void SwitchOff(Isolation* isolation, const LoggedCall* call, const char* happened) {
    isolation->switchedOff = 1;
    LogEvent(isolation, call, happened, "call declined; every call declines until the library is set again");
}

static Isolation* NewIsolation(void) {
    Isolation* isolation = calloc(1, sizeof *isolation);
    if (!isolation) return NULL;
    ReadIsolationConfig(OwnModule, &isolation->config);
    isolation->log = BoundedLogOpen(isolation->config.logPath, isolation->config.fallbackLogPath,
                                    isolation->config.logKb * 1024);
    if (!CreateChannel(isolation)) {
        CloseChannel(isolation);
        isolation->switchedOff = 1;
    }
    return isolation;
}

// Each number of the .ini that was refused, once, at the first call.
static void LogRefusedValues(Isolation* isolation, const LoggedCall* call) {
    for (uint32_t i = 0; i < isolation->config.refusedCount; ++i)
        LogEvent(isolation, call, isolation->config.refused[i].text, "settings read");
}

// Restarts within the last minute, the older ones forgotten.
static uint32_t RecentRestarts(Isolation* isolation, DWORD now) {
    uint32_t kept = 0;
    for (uint32_t i = 0; i < isolation->restartCount; ++i)
        if (now - isolation->restartTicks[i] < RestartWindowMs) isolation->restartTicks[kept++] = isolation->restartTicks[i];
    isolation->restartCount = kept;
    return kept;
}

// A fault cost this call: the helper is ended, and started again for the
// next call unless it was restarted `restarts` times within the last minute.
static void TakeFault(Isolation* isolation, const LoggedCall* call, const char* happened) {
    EndHelper(isolation);
    const DWORD now = GetTickCount();
    const uint32_t recent = RecentRestarts(isolation, now);
    if (recent >= isolation->config.restarts) {
        char done[ReasonCapacity];
        snprintf(done, sizeof done, "%s; %u restarts within a minute", happened, (unsigned)recent);
        SwitchOff(isolation, call, done);
        return;
    }
    if (isolation->restartCount == MaxRememberedRestarts) {
        memmove(isolation->restartTicks, isolation->restartTicks + 1, sizeof(DWORD) * (MaxRememberedRestarts - 1));
        --isolation->restartCount;
    }
    isolation->restartTicks[isolation->restartCount++] = now;
    char done[ReasonCapacity];
    snprintf(done, sizeof done, "call declined; helper ended and started again for the next call (restart %u of %u within a minute)",
             (unsigned)recent + 1, (unsigned)isolation->config.restarts);
    LogEvent(isolation, call, happened, done);
}

// The call is entered again on this thread while another is in progress:
// from the host's message loop or IParam code that the waiting call runs (a
// frame below its live wait mark), or after a fault in the host's code that
// the component caught left the earlier call behind.
static int ReenteredFromTheWait(const Isolation* isolation, const void* frame) {
    volatile const WaitMark* mark = isolation->waitMark;
    return mark && (const char*)frame < (const char*)mark && mark->magic == WaitMarkMagic &&
           mark->cookie == isolation->waitCookie;
}

static int ReenteredOrAbandoned(Isolation* isolation, const LoggedCall* call, const void* frame) {
    if (isolation->busyThread != GetCurrentThreadId()) return 0;
    if (ReenteredFromTheWait(isolation, frame)) {
        LogEvent(isolation, call, "called again from the host's message loop while a call was in progress",
                 "call declined");
        LeaveCriticalSection(&Lock);
        return 1;
    }
    LeaveCriticalSection(&Lock);  // the abandoned call's entry
    isolation->busyThread = 0;
    isolation->waitMark = NULL;
    if (isolation->disabledOwner) EnableWindow(isolation->disabledOwner, TRUE);
    isolation->disabledOwner = NULL;
    EndHelper(isolation);
    LogEvent(isolation, call, "the previous call ended by a fault in the host's object",
             "helper ended and started again for this call");
    return 0;
}

// The real library is loaded in the helper, or this call declines: it came
// while the library was still loading, or the load failed or took too long.
static int LoadedFor(Isolation* isolation, const LoggedCall* call, int32_t entry) {
    if (!isolation->loading) return 1;
    char reason[ReasonCapacity];
    switch (AwaitLoad(isolation, entry, reason, sizeof reason)) {
    case LoadReady: return 1;
    case LoadPending: LogEvent(isolation, call, reason, "call declined; the load goes on"); return 0;
    case LoadTimedOut: TakeFault(isolation, call, reason); return 0;
    default: SwitchOff(isolation, call, reason); return 0;
    }
}

static void EndCall(Isolation* isolation) {
    isolation->busyThread = 0;
    LeaveCriticalSection(&Lock);
}

// Enters the call: NULL when it declines at once (switched off, no helper,
// no such entry point in the real library).
static Isolation* BeginCall(const LoggedCall* call, int32_t entry, const void* frame) {
    EnterCriticalSection(&Lock);
    if (!State) {
        State = NewIsolation();
        if (State) LogRefusedValues(State, call);
    }
    Isolation* isolation = State;
    if (!isolation) {
        LeaveCriticalSection(&Lock);
        return NULL;
    }
    if (ReenteredOrAbandoned(isolation, call, frame)) return NULL;
    // Busy from here: the helper's start waits too, and dispatches messages.
    isolation->busyThread = GetCurrentThreadId();
    if (!isolation->switchedOff && !isolation->config.library[0])
        SwitchOff(isolation, call, "the .ini names no library ([extension] library = ...)");
    char reason[ReasonCapacity];
    if (!isolation->switchedOff && !isolation->process && !StartHelper(isolation, reason, sizeof reason))
        SwitchOff(isolation, call, reason);
    if (isolation->switchedOff || !LoadedFor(isolation, call, entry) || !(isolation->entryMask & entry)) {
        EndCall(isolation);
        return NULL;
    }
    return isolation;
}

static int PutInput(IsolationChannel* channel, size_t* used, const char* bytes, int32_t length) {
    if (length <= 0 || !bytes) return 1;
    if ((size_t)length > ChannelInputCapacity - *used) return 0;
    memcpy(channel->input + *used, bytes, (size_t)length);
    *used += (size_t)length;
    return 1;
}

static int PutInputs(IsolationChannel* channel, const char* value, int32_t valueLength, const char* reserved,
                     int32_t reservedLength, const char* field, int32_t fieldLength) {
    size_t used = 0;
    channel->valueLength = valueLength;
    channel->reservedLength = reservedLength;
    channel->fieldLength = fieldLength;
    return PutInput(channel, &used, value, valueLength) && PutInput(channel, &used, reserved, reservedLength) &&
           PutInput(channel, &used, field, fieldLength);
}

static int32_t EntryOf(int32_t request) {
    return request == RequestExplain ? HasExplain : request == RequestObscure ? HasObscure : HasEdit;
}

// The helper ended itself between calls: its private bytes passed the
// limit, or it found its heap corrupted.
static void RestartBetweenCalls(Isolation* isolation, const LoggedCall* call) {
    char happened[ReasonCapacity];
    if (isolation->channel->endedBetweenCalls == EndMemory)
        snprintf(happened, sizeof happened, "the helper's private bytes (%u MB) passed memory_mb (%u MB)",
                 (unsigned)isolation->channel->privateMegabytes, (unsigned)isolation->config.memoryMb);
    else
        snprintf(happened, sizeof happened, "heap corruption found in the helper after an earlier call");
    EndHelper(isolation);
    LogEvent(isolation, call, happened, "helper ended between calls and started again for this call");
}

static void ReportStaleParamCalls(Isolation* isolation, const LoggedCall* call) {
    if (!isolation->channel->staleParamCalls) return;
    const LONG stale = InterlockedExchange(&isolation->channel->staleParamCalls, 0);
    char happened[ReasonCapacity];
    snprintf(happened, sizeof happened,
             "the extension called an IParam it had kept after its call had returned (%ld calls)", (long)stale);
    LogEvent(isolation, call, happened, "answered RPC_E_DISCONNECTED, nothing reached the host");
}

static int32_t Outcome(Isolation* isolation, const LoggedCall* call) {
    IsolationChannel* channel = isolation->channel;
    ReportStaleParamCalls(isolation, call);
    int32_t result = Declined;
    switch (channel->outcome) {
    case OutcomeDone: result = channel->result; break;
    case OutcomeUnterminated:
        LogEvent(isolation, call, "an output text without its terminating zero within 4096 bytes",
                 "call declined");
        break;
    case OutcomeTooLarge:
        LogEvent(isolation, call, "a text too large for the channel", "call declined");
        break;
    default: break;
    }
    return result;
}

// Runs the request in the channel in the helper and waits for it, serving
// the extension's IParam calls meanwhile; the extension's result, or
// Declined when the call cost a fault.
static int32_t Forward(Isolation* isolation, const LoggedCall* call, IParam* param, uint32_t timeoutMs) {
    IsolationChannel* channel = isolation->channel;
    for (int attempt = 0;; ++attempt) {
        const ULONGLONG deadline = timeoutMs ? GetTickCount64() + timeoutMs : 0;
        PostTurn(channel, TurnHelperCall, &channel->helperSleeps, isolation->objects.helperEvent);
        const enum WaitEnd end = WaitForHelper(isolation, param, deadline);
        if (end == WaitTurn) {
            channel->turn = TurnIdle;
            return Outcome(isolation, call);
        }
        char happened[ReasonCapacity];
        if (end == WaitTimedOut) {
            snprintf(happened, sizeof happened, "no answer within %u ms", (unsigned)timeoutMs);
        } else if (channel->endedBetweenCalls && attempt == 0) {
            // It ended itself between calls before it saw this one.
            RestartBetweenCalls(isolation, call);
            const int32_t request = channel->request;
            if (!StartHelper(isolation, happened, sizeof happened)) {
                SwitchOff(isolation, call, happened);
                return Declined;
            }
            if (!LoadedFor(isolation, call, EntryOf(request))) return Declined;
            channel->request = request;
            continue;
        } else {
            DescribeHelperEnd(isolation->process, happened, sizeof happened);
        }
        TakeFault(isolation, call, happened);
        return Declined;
    }
}

/* The helper's answer lies in memory the extension can write: it is copied
 * up to its zero byte within the answer's room, and ended there if it has
 * none, so that the host's buffer of that size is never overrun. */
static void CopyOut(char* target, const char* text) {
    if (!target) return;
    const char* end = memchr(text, 0, ChannelOutSize);
    const size_t length = end ? (size_t)(end - text) : ChannelOutSize - 1;
    memcpy(target, text, length);
    target[length] = 0;
}

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength,
                               int32_t paramId, uint16_t* explainCode, char* valueOut, char* displayOut,
                               IParam* param) {
    const LoggedCall call = {"ExplainParam", paramId, valueText, valueLength, NULL};
    Isolation* isolation = BeginCall(&call, HasExplain, &call);
    if (!isolation) return Declined;
    IsolationChannel* channel = isolation->channel;
    int32_t result = Declined;
    if (!PutInputs(channel, valueText, valueLength, reserved, reservedLength, fieldBytes, fieldLength)) {
        LogEvent(isolation, &call, "an input larger than the channel's 1 MiB", "call declined");
    } else {
        channel->request = RequestExplain;
        channel->paramId = paramId;
        channel->explainCode = explainCode ? *explainCode : 0;
        result = Forward(isolation, &call, param, isolation->config.timeoutMs);
        if (result == 0) {
            if (explainCode) *explainCode = channel->explainCode;
            CopyOut(valueOut, channel->out[0]);
            CopyOut(displayOut, channel->out[1]);
        }
    }
    EndCall(isolation);
    return result;
}

int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param) {
    const LoggedCall call = {"ObscureParam", paramId, valueText, valueLength, NULL};
    Isolation* isolation = BeginCall(&call, HasObscure, &call);
    if (!isolation) return Declined;
    IsolationChannel* channel = isolation->channel;
    int32_t result = Declined;
    if (!PutInputs(channel, valueText, valueLength, reserved, reservedLength, NULL, 0)) {
        LogEvent(isolation, &call, "an input larger than the channel's 1 MiB", "call declined");
    } else {
        channel->request = RequestObscure;
        channel->paramId = paramId;
        channel->obscureIntA = obscureIntA;
        channel->obscureIntB = obscureIntB;
        channel->obscureByteA = obscureByteA;
        channel->obscureByteB = obscureByteB;
        result = Forward(isolation, &call, param, isolation->config.timeoutMs);
        if (result == 0) CopyOut(digitsOut, channel->out[0]);
    }
    EndCall(isolation);
    return result;
}

// The window the extension's dialog belongs to: the host thread's active
// window, else the foreground window when it is one of the host's.
static HWND OwnerWindow(void) {
    HWND owner = GetActiveWindow();
    if (owner) return owner;
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground) GetWindowThreadProcessId(foreground, &process);
    return process == GetCurrentProcessId() ? foreground : NULL;
}

int32_t __stdcall EditParam(IParam* param, char* valueOut, char* displayOut) {
    const LoggedCall call = {"EditParam", 0, NULL, 0, param};
    Isolation* isolation = BeginCall(&call, HasEdit, &call);
    if (!isolation) return Declined;
    IsolationChannel* channel = isolation->channel;
    // The dialog in the helper is owned by the host's window and modal to it:
    // the window is disabled meanwhile as for a dialog of the host's own, and
    // the helper may bring its dialog to the front.
    HWND owner = OwnerWindow();
    if (owner && IsWindowEnabled(owner) && !EnableWindow(owner, FALSE)) isolation->disabledOwner = owner;
    AllowSetForegroundWindow(isolation->processId);
    channel->request = RequestEdit;
    channel->ownerWindow = (uint32_t)(uintptr_t)owner;
    channel->hostThreadId = GetCurrentThreadId();
    const int32_t result = Forward(isolation, &call, param, isolation->config.editTimeoutMs);
    if (isolation->disabledOwner) EnableWindow(isolation->disabledOwner, TRUE);
    isolation->disabledOwner = NULL;
    if (result == 0) {
        CopyOut(valueOut, channel->out[0]);
        CopyOut(displayOut, channel->out[1]);
    }
    EndCall(isolation);
    return result;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        OwnModule = instance;
        DisableThreadLibraryCalls(instance);
        InitializeCriticalSection(&Lock);
    }
    // At process exit (reserved set) the helper sees the host end and quits.
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        if (State) {
            QuitHelper(State);
            CloseChannel(State);
            BoundedLogClose(State->log);
            free(State);
            State = NULL;
        }
        DeleteCriticalSection(&Lock);
    }
    return TRUE;
}
