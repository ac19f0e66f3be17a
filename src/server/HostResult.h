#pragma once
// Inward translation: a failing HRESULT from a host call (an IParam method)
// or from a platform call becomes an exception.

#include <windows.h>

// After every host call whose HRESULT is not otherwise tested: returns for a
// non-negative result, raises for a negative one (through the host-result
// hook, which folds the thread's error information into an EOleException).
void CheckHostResult(HRESULT result);

// After platform calls that must not be ignored: raises EOleSysError with
// the system's text for a negative result.
void CheckPlatformResult(HRESULT result);

// Start-up installs the hook that CheckHostResult raises through; shut-down
// removes it.
void InstallHostResultHook();
void RemoveHostResultHook();
