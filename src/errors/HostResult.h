#pragma once
// Inward translation: a failing HRESULT from a host call (an IParam method)
// or from a platform call becomes an exception.

#include <windows.h>

// After every host call whose HRESULT is not otherwise tested: returns for a
// non-negative result (S_OK, S_FALSE, any success code). A negative one goes
// to the process-wide host-result hook, which raises EOleException with the
// thread's error information; with no hook installed it raises
// ESafecallException ("Exception in safecall method"). Inline: it follows
// every host call of every operation.
[[noreturn]] void RaiseFailedHostResult(HRESULT result);
inline void CheckHostResult(HRESULT result) {
    if (FAILED(result)) RaiseFailedHostResult(result);
}

// The hook: consumes the thread's error information (source, description,
// help file, help context) and raises EOleException with `result` as its
// error code. Without error information the message is the system's text for
// the code, or "OLE error XXXXXXXX".
[[noreturn]] void RaiseHostError(HRESULT result);

// Sets the hook slot to RaiseHostError, and clears it. The DLL does this at
// start-up (first) and shut-down (last); test programs, which have no DLL
// start-up, install it in their main.
void InstallHostResultHook() noexcept;
void RemoveHostResultHook() noexcept;

// After platform calls that must not be ignored: raises EOleSysError with
// the system's text for a negative result.
void CheckPlatformResult(HRESULT result);
