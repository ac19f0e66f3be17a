/* The bounded log: its files, and the events it counts instead of writing. */
#include "BoundedLog.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { CollapseWindowMs = 60000, TrackedEvents = 64, PathCapacity = 4096, MinimumBytes = 256 };

/* An event written within the minute, and the ones like it counted since. */
typedef struct TrackedEvent {
    uint32_t kind;
    int64_t subject;
    uint64_t since; /* when the minute began */
    uint64_t more;  /* counted, not written */
    char last[BoundedLogLineCapacity]; /* the last one counted */
    int used;
} TrackedEvent;

struct BoundedLog {
    CRITICAL_SECTION lock;
    wchar_t path[PathCapacity];
    wchar_t fallbackPath[PathCapacity];
    uint32_t maxBytes;
    uint64_t (*clock)(void);
    uint64_t dropped; /* lines not written since a full file could not be turned over */
    TrackedEvent events[TrackedEvents];
};

static uint64_t TickClock(void) { return GetTickCount64(); }

BoundedLog* BoundedLogOpen(const wchar_t* path, const wchar_t* fallbackPath, uint32_t maxBytes) {
    BoundedLog* log = calloc(1, sizeof *log);
    if (!log) return NULL;
    InitializeCriticalSection(&log->lock);
    wcsncpy(log->path, path ? path : L"", PathCapacity - 1);
    wcsncpy(log->fallbackPath, fallbackPath ? fallbackPath : L"", PathCapacity - 1);
    log->maxBytes = maxBytes > MinimumBytes ? maxBytes : MinimumBytes;
    log->clock = TickClock;
    return log;
}

void BoundedLogSetClock(BoundedLog* log, uint64_t (*clock)(void)) { log->clock = clock ? clock : TickClock; }

/* <path>.1, the older file. */
static void OlderPath(const wchar_t* path, wchar_t* older) {
    wcsncpy(older, path, PathCapacity - 3);
    older[PathCapacity - 3] = 0;
    wcscat(older, L".1");
}

static HANDLE OpenForAppending(const wchar_t* path) {
    return CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
}

/* Whether `length` more bytes would take the open file past the bound. */
static int WouldPassBound(const BoundedLog* log, HANDLE file, DWORD length) {
    LARGE_INTEGER size = {0};
    return GetFileSizeEx(file, &size) && size.QuadPart > 0 && (uint64_t)size.QuadPart + length > log->maxBytes;
}

/* Appends `length` bytes to the file at `path`; when they would take it past
 * the bound, the file becomes the older one first (the one before is
 * dropped). A full file that can be neither renamed nor deleted (another
 * process holds it open without delete sharing) gets nothing. */
static int AppendTo(const BoundedLog* log, const wchar_t* path, const char* text, DWORD length) {
    if (!path[0]) return 0;
    HANDLE file = OpenForAppending(path);
    if (file == INVALID_HANDLE_VALUE) return 0;
    if (WouldPassBound(log, file, length)) {
        CloseHandle(file);
        wchar_t older[PathCapacity];
        OlderPath(path, older);
        if (!MoveFileExW(path, older, MOVEFILE_REPLACE_EXISTING)) DeleteFileW(path);
        file = OpenForAppending(path);
        if (file == INVALID_HANDLE_VALUE) return 0;
        if (WouldPassBound(log, file, length)) {
            CloseHandle(file);
            return 0;
        }
    }
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, text, length, &written, NULL);
    CloseHandle(file);
    return wrote && written == length;
}

/* One line with its line end, cut to the bound and to the line's capacity,
 * in the log's file or else its fallback. */
static int AppendLine(const BoundedLog* log, const char* line) {
    char text[BoundedLogLineCapacity];
    size_t length = strlen(line);
    const size_t room = sizeof text - 2 < log->maxBytes - 2 ? sizeof text - 2 : log->maxBytes - 2;
    if (length > room) length = room;
    memcpy(text, line, length);
    memcpy(text + length, "\r\n", 2);
    return AppendTo(log, log->path, text, (DWORD)length + 2) ||
           AppendTo(log, log->fallbackPath, text, (DWORD)length + 2);
}

/* A line, after the count of the lines no file could take before it. */
static int WriteLine(BoundedLog* log, const char* line) {
    if (log->dropped) {
        char note[128];
        snprintf(note, sizeof note, "(%llu lines not written: the full log file could not be turned over)",
                 (unsigned long long)log->dropped);
        if (!AppendLine(log, note)) {
            ++log->dropped;
            return 0;
        }
        log->dropped = 0;
    }
    if (AppendLine(log, line)) return 1;
    ++log->dropped;
    return 0;
}

/* 4999 as "4,999". */
static void GroupedNumber(uint64_t number, char* text, size_t capacity) {
    char digits[32];
    const int count = snprintf(digits, sizeof digits, "%llu", (unsigned long long)number);
    size_t used = 0;
    for (int i = 0; i < count && used + 2 < capacity; ++i) {
        if (i > 0 && (count - i) % 3 == 0) text[used++] = ',';
        text[used++] = digits[i];
    }
    text[used] = 0;
}

/* The summary of the events counted in the minute that began at `since`. */
static void WriteSummary(BoundedLog* log, TrackedEvent* event) {
    if (event->more == 0) return;
    char count[40], line[BoundedLogLineCapacity];
    GroupedNumber(event->more, count, sizeof count);
    snprintf(line, sizeof line, "%.*s  (... and %s more like this in the last minute)",
             BoundedLogLineCapacity - 100, event->last, count);
    WriteLine(log, line);
    event->more = 0;
}

static void FlushDue(BoundedLog* log, uint64_t now) {
    for (int i = 0; i < TrackedEvents; ++i) {
        TrackedEvent* event = &log->events[i];
        if (event->used && now - event->since >= CollapseWindowMs) {
            WriteSummary(log, event);
            event->used = 0;
        }
    }
}

/* The event of this kind and subject tracked within its minute, or NULL. */
static TrackedEvent* Tracked(BoundedLog* log, uint32_t kind, int64_t subject) {
    for (int i = 0; i < TrackedEvents; ++i) {
        TrackedEvent* event = &log->events[i];
        if (event->used && event->kind == kind && event->subject == subject) return event;
    }
    return NULL;
}

/* A free place for a new event; when all are taken, the oldest one's
 * summary is written early to make room. */
static TrackedEvent* FreeTrackedEvent(BoundedLog* log) {
    TrackedEvent* oldest = &log->events[0];
    for (int i = 0; i < TrackedEvents; ++i) {
        TrackedEvent* event = &log->events[i];
        if (!event->used) return event;
        if (event->since < oldest->since) oldest = event;
    }
    WriteSummary(log, oldest);
    return oldest;
}

int BoundedLogWrite(BoundedLog* log, uint32_t kind, int64_t subject, const char* line) {
    EnterCriticalSection(&log->lock);
    const uint64_t now = log->clock();
    FlushDue(log, now);
    TrackedEvent* event = Tracked(log, kind, subject);
    int done = 1;
    if (event) {
        ++event->more;
        snprintf(event->last, sizeof event->last, "%s", line);
    } else {
        event = FreeTrackedEvent(log);
        *event = (TrackedEvent){.kind = kind, .subject = subject, .since = now, .used = 1};
        done = WriteLine(log, line);
    }
    LeaveCriticalSection(&log->lock);
    return done;
}

void BoundedLogFlush(BoundedLog* log) {
    EnterCriticalSection(&log->lock);
    FlushDue(log, log->clock());
    LeaveCriticalSection(&log->lock);
}

void BoundedLogClose(BoundedLog* log) {
    if (!log) return;
    for (int i = 0; i < TrackedEvents; ++i)
        if (log->events[i].used) WriteSummary(log, &log->events[i]);
    DeleteCriticalSection(&log->lock);
    free(log);
}
