#pragma once
// The class object that creates TParamTransactor objects.

#include <windows.h>
#include <unknwn.h>

HRESULT GetParamTransactorClassObject(REFIID iid, void** object) noexcept;
