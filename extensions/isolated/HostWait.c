/* Waiting on the host's thread for the helper: spinning briefly, then
 * sleeping on the host's event and the helper's process handle while the
 * thread's messages keep flowing, as COM keeps an apartment's messages
 * flowing during an outgoing call: sent messages, posted messages, timers and
 * paint messages are dispatched; keyboard and mouse input stays queued for
 * after the call. */
#include "Isolation.h"
#include "ParamServer.h"

enum { HostSpinMicroseconds = 100 };

/* A WM_QUIT taken from the queue while waiting, posted again after the
 * wait, as COM does, so that the host's own loop still ends. */
typedef struct QuitSeen {
    int seen;
    WPARAM exitCode;
} QuitSeen;

/* Every message but keyboard and mouse input. */
static void DispatchWaitingMessages(QuitSeen* quit) {
    static const UINT ranges[][2] = {
        {0, WM_KEYFIRST - 1}, {WM_KEYLAST + 1, WM_MOUSEFIRST - 1}, {WM_MOUSELAST + 1, 0xFFFFFFFF}};
    MSG message;
    for (size_t range = 0; range < sizeof ranges / sizeof *ranges; ++range)
        while (PeekMessageW(&message, NULL, ranges[range][0], ranges[range][1], PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit->seen = 1;
                quit->exitCode = message.wParam;
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
}

static DWORD Remaining(ULONGLONG deadline) {
    if (!deadline) return INFINITE;
    const ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : (DWORD)(deadline - now);
}

/* Sleeps until the host's turn comes, the helper ends or the deadline passes. */
static enum WaitEnd SleepForTurn(Isolation* isolation, ULONGLONG deadline, LONG* turn, QuitSeen* quit) {
    IsolationChannel* channel = isolation->channel;
    HANDLE handles[2] = {isolation->objects.hostEvent, isolation->process};
    for (;;) {
        InterlockedExchange(&channel->hostSleeps, 1);
        *turn = channel->turn;
        if (*turn == TurnHostParamCall || *turn == TurnHostResult) {
            InterlockedExchange(&channel->hostSleeps, 0);
            return WaitTurn;
        }
        const DWORD remaining = Remaining(deadline);
        if (remaining == 0) return WaitTimedOut;
        const DWORD woken = MsgWaitForMultipleObjectsEx(2, handles, remaining,
                                                        QS_SENDMESSAGE | QS_POSTMESSAGE | QS_TIMER | QS_PAINT, 0);
        if (woken == WAIT_OBJECT_0 + 1) {
            /* The helper ended; it may have posted its result just before. */
            *turn = channel->turn;
            if (*turn == TurnHostParamCall || *turn == TurnHostResult) return WaitTurn;
            return WaitHelperEnded;
        }
        if (woken == WAIT_OBJECT_0 + 2 && !quit->seen) DispatchWaitingMessages(quit);
        if (woken == WAIT_FAILED) Sleep(1);
    }
}

static enum WaitEnd WaitMarked(Isolation* isolation, IParam* param, ULONGLONG deadline, QuitSeen* quit) {
    IsolationChannel* channel = isolation->channel;
    for (;;) {
        LONG turn = SpinForTurn(channel, TurnHostParamCall, TurnHostResult, SpinTicks(HostSpinMicroseconds));
        if (turn == TurnIdle) {
            const enum WaitEnd end = SleepForTurn(isolation, deadline, &turn, quit);
            if (end != WaitTurn) return end;
        }
        if (turn == TurnHostResult) return WaitTurn;
        if (param) {
            ServeParamCall(channel, param);
        } else {
            channel->param.result = E_UNEXPECTED;  // no object to serve it: none was lent
        }
        PostTurn(channel, TurnHelperParamDone, &channel->helperSleeps, isolation->objects.helperEvent);
        /* An extension that calls IParam without end still meets its limit. */
        if (deadline && GetTickCount64() >= deadline) return WaitTimedOut;
    }
}

enum WaitEnd WaitForHelper(Isolation* isolation, IParam* param, ULONGLONG deadline) {
    volatile WaitMark mark = {WaitMarkMagic, ++isolation->waitCookie};
    isolation->waitMark = &mark;
    QuitSeen quit = {0, 0};
    const enum WaitEnd end = WaitMarked(isolation, param, deadline, &quit);
    isolation->waitMark = NULL;
    mark.magic = 0;
    if (quit.seen) PostQuitMessage((int)quit.exitCode);
    return end;
}
