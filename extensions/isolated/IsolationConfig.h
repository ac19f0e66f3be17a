#pragma once
/* The settings of one isolated extension: the [extension] section of the
 * .ini with the library's own base name, next to it. */
#include <stdint.h>
#include <wchar.h>

/* The most restarts within a minute the settings accept. */
enum { MostRestarts = 1000 };

#ifdef __cplusplus
extern "C" {
#endif

enum { IsolationPathCapacity = 4096 }; /* UTF-16 units, with the zero */

/* The numeric keys, in the order their problems are listed. */
enum IsolationKey {
    KeyTimeoutMs,
    KeyEditTimeoutMs,
    KeyLoadTimeoutMs,
    KeyRestarts,
    KeyMemoryMb,
    KeyLogKb,
    IsolationKeyCount
};

/* A number of the .ini that was refused, and the default used instead. */
typedef struct RefusedValue {
    enum IsolationKey key;
    char text[200]; /* "timeout_ms = \"-1\" is not a whole number from 0 to 600000; the default 500 is used" */
} RefusedValue;

typedef struct IsolationConfig {
    wchar_t iniPath[IsolationPathCapacity];
    wchar_t library[IsolationPathCapacity]; /* full path; empty when the .ini names none */
    wchar_t libraryName[260];               /* as the log names it: the file name */
    wchar_t logPath[IsolationPathCapacity];
    wchar_t fallbackLogPath[IsolationPathCapacity]; /* when logPath cannot be written: the temporary folder; empty: none */
    wchar_t helperPath[IsolationPathCapacity]; /* ParamExtensionHost.exe next to this library */
    uint32_t timeoutMs;     /* ExplainParam and ObscureParam; 0: no limit */
    uint32_t editTimeoutMs; /* EditParam; 0: no limit */
    uint32_t restarts;      /* restarts within a minute before the extension is switched off */
    uint32_t memoryMb;      /* private bytes of the helper before it is restarted; 0: no limit */
    uint32_t loadTimeoutMs; /* loading the real library in the helper */
    uint32_t logKb;         /* per log file; one older file is kept */
    RefusedValue refused[IsolationKeyCount]; /* the numbers that were refused */
    uint32_t refusedCount;
} IsolationConfig;

/* Reads the settings of the library `module` (this DLL or a renamed copy). */
void ReadIsolationConfig(void* module, IsolationConfig* config);

/* The same for the copy at `libraryPath` (a full path), without loading it. */
void ReadIsolationConfigOf(const wchar_t* libraryPath, IsolationConfig* config);

#ifdef __cplusplus
}
#endif
