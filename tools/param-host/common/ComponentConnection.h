#pragma once
// Reaches the component the way the host does: CLSIDFromProgID and
// CoCreateInstance. When this Wine prefix (or machine) does not know the
// class yet, the program registers OvixParamTransactor.dll from its own
// folder through the DLL's DllRegisterServer and tries once more.

#include "contracts/Vantrel_TLB.h"

#include <wrl/client.h>

#include <functional>
#include <string>

// Raises a HostFailure when the component cannot be created or registered.
// `notice` receives a line for the user when registration happened.
Microsoft::WRL::ComPtr<IParamTransactor> CreateTransactor(const std::function<void(const std::wstring&)>& notice);
