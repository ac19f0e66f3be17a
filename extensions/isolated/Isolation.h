#pragma once
/* The state of one loaded copy of IsolatedExtension.dll: its settings, its
 * channel and its helper process. */
#include "ChannelObjects.h"
#include "IsolationChannel.h"
#include "IsolationConfig.h"
#include "logfile/BoundedLog.h"

/* Every restart that `restarts` may count is remembered. */
enum { RestartWindowMs = 60000, MaxRememberedRestarts = MostRestarts };

typedef struct Isolation {
    IsolationConfig config;
    BoundedLog* log;
    ChannelObjects objects; /* the channel's, kept across restarts */
    IsolationChannel* channel;
    HANDLE process; /* the running helper, or NULL */
    DWORD processId;
    int32_t entryMask;
    /* The load of the real library in the helper, while it goes on. */
    int loading;
    int loadWaited;           /* an Explain or Obscure call already waited for it */
    ULONGLONG loadStarted;    /* GetTickCount64 when the helper was started */
    int switchedOff;
    DWORD restartTicks[MaxRememberedRestarts]; /* GetTickCount of the restarts, newest last */
    uint32_t restartCount;
    /* The call in progress on its thread, and the mark its wait keeps on the
     * stack while it runs host code (messages, IParam calls): a call that
     * comes in on the same thread below a live mark re-entered from there;
     * any other was left behind by a fault in the host's code that the
     * component caught. */
    DWORD busyThread;
    volatile const struct WaitMark* waitMark;
    uint32_t waitCookie;
    HWND disabledOwner; /* the host's window an EditParam call disabled, until it ends */
} Isolation;

/* On the stack of a running wait: its magic and the isolation's cookie. */
typedef struct WaitMark {
    uint32_t magic;
    uint32_t cookie;
} WaitMark;

enum { WaitMarkMagic = 0x57414954 };

/* How waiting for the helper ended. */
enum WaitEnd { WaitTurn = 0, WaitHelperEnded = 1, WaitTimedOut = 2 };

/* Creates the channel's objects and maps its memory (once per loaded copy). */
int CreateChannel(Isolation* isolation);
void CloseChannel(Isolation* isolation);

/* Starts the helper and has it begin to load the real library (AwaitLoad
 * takes its answer); on failure writes why into `reason` and returns 0. */
int StartHelper(Isolation* isolation, char* reason, size_t capacity);

/* How waiting for the library's load ended. */
enum LoadWait {
    LoadReady,    /* loaded: the call goes ahead */
    LoadPending,  /* still loading: the call declines, the load goes on */
    LoadFailed,   /* it cannot be loaded, or the helper failed at its start */
    LoadTimedOut  /* it took longer than load_timeout_ms: the helper was ended */
};

/* Waits for the load of a helper that is still loading, as long as a call
 * of `entry` may: an EditParam call until load_timeout_ms has passed since
 * the start, the first Explain or Obscure call timeout_ms once the load has
 * begun, any other call not at all. Writes what went wrong into `reason`. */
enum LoadWait AwaitLoad(Isolation* isolation, int32_t entry, char* reason, size_t capacity);

/* Ends the helper if it still runs and forgets it. */
void EndHelper(Isolation* isolation);

/* Asks a running helper to quit, gives it a moment, then ends it. */
void QuitHelper(Isolation* isolation);

/* Waits until the helper posts `turn` (a result) or forwards an IParam call
 * (served on this thread with `param`), keeping the thread's messages flowing,
 * until `deadline` (GetTickCount64; 0: none). */
enum WaitEnd WaitForHelper(Isolation* isolation, IParam* param, ULONGLONG deadline);

/* Why the helper ended, from its exit code. */
void DescribeHelperEnd(HANDLE process, char* text, size_t capacity);
