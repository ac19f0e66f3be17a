#pragma once
/* A log file with a bound, for a program that runs for months on a station:
 * at most `maxBytes` per file, with one older file kept (<path>.1), so that
 * the log never takes more than twice the bound; and repeated events of one
 * kind about one subject (a parameter) written once a minute, the others
 * counted: the first line goes out at once, the ones that follow it within
 * the minute are summed up in one line after the minute, with the last of
 * them, "... and 4,999 more like this in the last minute".
 *
 * Plain C, so that an extension that must unload cleanly can use it as well
 * as the component. One log may be written from several threads. */
#include <stdint.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct BoundedLog BoundedLog;

enum { BoundedLogLineCapacity = 2048 }; /* bytes of one line, with its line end */

/* A log at `path`; when that cannot be written, at `fallbackPath` (NULL or
 * empty: none). Nothing is opened before the first line. NULL when out of
 * memory. */
BoundedLog* BoundedLogOpen(const wchar_t* path, const wchar_t* fallbackPath, uint32_t maxBytes);

/* Writes the summaries still due and frees the log. */
void BoundedLogClose(BoundedLog* log);

/* Writes `line` (UTF-8, without its line end) of event `kind` about
 * `subject`, or counts it when one like it was written within the minute.
 * Returns 1 when the line was written or counted, 0 when no file could be
 * written. */
int BoundedLogWrite(BoundedLog* log, uint32_t kind, int64_t subject, const char* line);

/* Writes the summaries whose minute has passed (BoundedLogWrite does so too). */
void BoundedLogFlush(BoundedLog* log);

/* For tests: the time the log goes by, in milliseconds (NULL: GetTickCount64). */
void BoundedLogSetClock(BoundedLog* log, uint64_t (*clock)(void));

#ifdef __cplusplus
}
#endif
