#pragma once
// Outward translation: an exception that escapes an interface method becomes
// the method's HRESULT and the thread's error information.

#include <windows.h>

#include <exception>

// Sets the thread's error information for `error` (interface identifier,
// source = `progId` when not empty, help file when not empty, and for an
// Exception its message as description and its help context) and returns the
// HRESULT for it: the error code of an EOleSysError (EOleException included)
// when that is negative, else E_UNEXPECTED. Never raises; when no error
// object can be created it returns E_UNEXPECTED and sets nothing.
HRESULT HResultFromException(std::exception_ptr error, REFGUID interfaceId, const wchar_t* progId,
                             const wchar_t* helpFile) noexcept;
