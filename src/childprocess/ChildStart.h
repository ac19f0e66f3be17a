#pragma once
/* Starting the process that hosts an extension: without a window, with the
 * system's default error mode, handing down the handles given and no other
 * where the system can tell it so (elsewhere every inheritable handle goes
 * down, and the ones given are inheritable only for the moment of the
 * start). Plain C: the isolation's C DLL starts its helper with it, the
 * checker its child. */
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Starts `program` with `commandLine` (which CreateProcessW may write to),
 * handing down the `count` handles of `handles`, all different. `standard`
 * is NULL or the child's standard input, output and error, each one of
 * `handles`. Returns 0 when it could not start, GetLastError() telling why. */
int StartInheriting(const wchar_t* program, wchar_t* commandLine, const HANDLE* handles, size_t count,
                    const HANDLE standard[3], PROCESS_INFORMATION* started);

#ifdef __cplusplus
}
#endif
