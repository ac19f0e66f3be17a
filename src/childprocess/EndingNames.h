#pragma once
/* What ended a process that hosted an extension, as its exit code tells:
 * the names of the exceptions an extension raises most, for the texts that
 * say why a call or a process failed. Plain C, so that the isolation's C
 * DLL names its helper's end as the checker names its child's. */
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    AbortExitCode = 3,                /* abort(), and std::terminate through it */
    StarterEndedExitCode = 0x484F5354 /* "HOST": the process that started it ended (StarterWatch.h) */
};

/* "access violation" for 0xC0000005; NULL for a code without a name here. */
const char* ExceptionName(DWORD code);

#ifdef __cplusplus
}
#endif
