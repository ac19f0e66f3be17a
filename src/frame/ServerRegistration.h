#pragma once
// DllRegisterServer and DllUnregisterServer: one registration run on the
// module's server object, register or unregister.

#include <windows.h>

// S_OK when the run completes, E_FAIL when any step raised (or the module
// has no server object).
HRESULT RunServerRegistration(bool registering) noexcept;
