#pragma once
// DllRegisterServer, DllUnregisterServer and DllInstall: one registration run
// on the module's server object, register or unregister, for the machine or
// for the current user.

#include "frame/ComServer.h"

#include <windows.h>

// S_OK when the run completes (for unregistering: every entry there was
// removed, or nothing was registered); otherwise the failing code the step
// raised with, or E_FAIL (also when the module has no server object).
// Unregistering removes what it can before it reports a failure.
HRESULT RunServerRegistration(bool registering, TRegistryScope scope) noexcept;

// DllInstall: `commandLine` "user" runs for the current user (regsvr32 /n
// /i:user), empty or "machine" for the machine; E_INVALIDARG for anything else.
HRESULT RunServerInstall(bool installing, const wchar_t* commandLine) noexcept;
