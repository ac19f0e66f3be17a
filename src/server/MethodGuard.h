#pragma once
// The boundary between the component's exceptions and the HRESULTs of its
// interface: every interface method runs its body inside MethodGuard.

#include <windows.h>

#include <exception>

// Sets the thread's error information for an escaping exception and returns
// the HRESULT the caller sees.
HRESULT HResultFromCurrentException() noexcept;

template <typename Body>
HRESULT MethodGuard(Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (...) {
        return HResultFromCurrentException();
    }
}
