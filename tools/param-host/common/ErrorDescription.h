#pragma once
// The text a host shows for a failing HRESULT: the error information the
// object left on the thread when it says it supports that for the interface,
// else the system's message for the code.

#include <windows.h>
#include <unknwn.h>

#include <string>

std::wstring ErrorDescription(IUnknown* object, REFIID iid, HRESULT result);
std::wstring SystemMessage(HRESULT result);
