#pragma once
/* IsolationChannel.h: the shared memory through which IsolatedExtension.dll
 * (in the host's process) and ParamExtensionHost.exe (the helper process that
 * runs the real extension) talk. Plain C: the DLL is C, the helper C++.
 *
 * One call at a time crosses the channel. `turn` says who acts next:
 *
 *   host posts a call ........ TurnHelperCall
 *   helper asks an IParam .... TurnHostParamCall  (any number of times)
 *   host answers it .......... TurnHelperParamDone
 *   helper posts the result .. TurnHostResult
 *
 * Each side spins briefly on `turn` before it sleeps on its own event; a side
 * that posts sets the other side's event only when that side said it sleeps
 * (`helperSleeps`, `hostSleeps`), so the calls of a burst pay no kernel
 * wake-up. A sleeper always looks at `turn` again after it wakes (an event may
 * be set once too often), so a stale wake-up costs a loop, never a wrong turn.
 */
#include <stdint.h>
#include <windows.h>

#include "ParamExtension.h"
#include "childprocess/EndingNames.h"

#ifdef __cplusplus
extern "C" {
#endif

enum ChannelTurn {
    TurnIdle = 0,
    TurnHelperCall = 1,
    TurnHostParamCall = 2,
    TurnHelperParamDone = 3,
    TurnHostResult = 4,
    TurnHelperQuit = 5
};

/* What the host asks the helper to do. */
enum ChannelRequest { RequestStart = 0, RequestExplain = 1, RequestObscure = 2, RequestEdit = 3 };

/* How a call ended inside the helper, besides the extension's own result. */
enum ChannelOutcome {
    OutcomeDone = 0,          /* the entry point returned; result holds its value */
    OutcomeNoEntryPoint = 1,  /* the real library does not export the entry point */
    OutcomeUnterminated = 2,  /* it succeeded with an output text without its zero byte */
    OutcomeTooLarge = 3,      /* an input or an IParam text too large for the channel */
    OutcomeNotLoaded = 4      /* the real library could not be loaded (at the start) */
};

/* Why the helper ended itself between calls, once it stopped spinning. */
enum EndReason { EndNone = 0, EndMemory = 1, EndHeapCorrupted = 2 };

/* The exit codes of a helper that ended itself for a reason of its own. */
enum HelperExitCode {
    HelperExitHostEnded = StarterEndedExitCode, /* its host ended */
    HelperExitLoadTimedOut = 0x4C4F4144   /* the library did not load within load_timeout_ms ("LOAD") */
};

/* The entry points the real library exports (the start's answer). */
enum ChannelEntryMask { HasExplain = 1, HasObscure = 2, HasEdit = 4 };

/* The shapes of IParam's methods, by vtable slot (ParamSlotShape). */
enum ParamShape {
    ShapeIUnknown = 0,     /* slots 0 to 2: answered by the helper's proxy itself */
    ShapeNoArguments,      /* HRESULT Reserved05(void) and the like */
    ShapeOutText,          /* HRESULT GetX(BSTR*) */
    ShapeOutLong,          /* HRESULT GetX(long*) */
    ShapeOutBool,          /* HRESULT GetX(VARIANT_BOOL*) */
    ShapeOutByte,          /* HRESULT GetX(unsigned char*) */
    ShapeInText,           /* HRESULT SetX(BSTR) */
    ShapeInUShort,         /* HRESULT SetExplainCode(unsigned short) */
    ShapeCheckText,        /* VARIANT_BOOL CheckValueText(BSTR) */
    ShapeOptionText        /* long GetOptionText(long, BSTR*) */
};

enum { ParamSlotCount = 80, ChannelOutSize = ExtensionOutBufferSize };
enum { ChannelInputCapacity = 1 << 20, ChannelTextCapacity = 1 << 19 /* UTF-16 units */ };

/* One IParam call made by the extension, and its answer. */
typedef struct ChannelParamCall {
    int32_t slot;
    int32_t pointerIsNull; /* the BSTR argument or the out-pointer the extension passed is null */
    int32_t number;        /* the long or unsigned short argument, GetOptionText's index */
    int32_t textLength;    /* in UTF-16 units, of the BSTR argument or the returned BSTR */
    int32_t textIsNull;    /* the returned BSTR is null */
    int32_t result;        /* the method's return value (HRESULT, VARIANT_BOOL or long) */
    int32_t outNumber;     /* a returned long, VARIANT_BOOL or byte */
} ChannelParamCall;

typedef struct IsolationChannel {
    volatile LONG turn;
    volatile LONG helperSleeps;
    volatile LONG hostSleeps;
    volatile LONG staleParamCalls; /* IParam calls made after their call had returned */

    /* The request. */
    int32_t request;
    int32_t paramId;
    int32_t valueLength, reservedLength, fieldLength; /* the inputs, one after the other in input[] */
    int32_t obscureIntA, obscureIntB;
    uint8_t obscureByteA, obscureByteB;
    uint16_t explainCode;
    uint32_t ownerWindow; /* Edit: the host's active window, which owns the extension's dialog */
    uint32_t hostThreadId;

    /* The result. */
    int32_t outcome;
    int32_t result;
    int32_t entryMask;
    uint32_t lastError;  /* the start: why the library could not be loaded */
    uint32_t loadException; /* the start: the exception its DllMain raised when it could not be loaded */
    volatile LONG endedBetweenCalls; /* the helper ended itself between calls (EndReason) */
    uint32_t privateMegabytes;
    uint32_t memoryLimitMegabytes;
    uint32_t loadTimeoutMs;    /* the start: the helper ends itself when the load takes longer */
    volatile LONG loadBegun;   /* the helper runs and has begun to load the library */
    char out[2][ChannelOutSize]; /* value (or digits) and display text, each up to its zero byte */

    ChannelParamCall param;
    wchar_t text[ChannelTextCapacity];
    char input[ChannelInputCapacity];
    wchar_t library[4096]; /* the real library's full path (the start) */
} IsolationChannel;

/* The shape of IParam's method in a vtable slot (0 to 79). */
enum ParamShape ParamSlotShape(int32_t slot);

/* The time-stamp ticks of `microseconds` (measured at the first call). */
int64_t SpinTicks(int64_t microseconds);

/* Spins for at most `ticks` time-stamp ticks until turn is one of the two
 * given; returns the turn found, or TurnIdle. */
LONG SpinForTurn(IsolationChannel* channel, LONG first, LONG second, int64_t ticks);

/* Posts a turn and wakes the other side if it sleeps. */
void PostTurn(IsolationChannel* channel, LONG turn, volatile LONG* otherSleeps, HANDLE otherEvent);

#ifdef __cplusplus
}
#endif
