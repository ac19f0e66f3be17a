#pragma once
// DllRegisterServer, DllUnregisterServer and DllInstall: one registration run
// on the module's server object, register or unregister, for the machine or
// for the current user.

#include "frame/ComServer.h"

#include <windows.h>

// S_OK when the run completes, E_FAIL when any step raised (or the module
// has no server object).
HRESULT RunServerRegistration(bool registering, TRegistryScope scope) noexcept;

// DllInstall: `commandLine` "user" runs for the current user (regsvr32 /n
// /i:user), empty or "machine" for the machine; E_INVALIDARG for anything else.
HRESULT RunServerInstall(bool installing, const wchar_t* commandLine) noexcept;
