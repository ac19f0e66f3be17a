#pragma once
// The boundary between the component's exceptions and the HRESULTs of its
// interface: every IParamTransactor method from slot 7 on runs its body
// inside MethodGuard.
//
// - The body completes: S_OK.
// - A C++ exception escapes it: the HRESULT and error information that
//   HResultFromException makes of it (interface IParamTransactor, source
//   "OvixParamTransactor.ParamTransactor").
// - A processor fault or other structured exception escapes it: E_UNEXPECTED,
//   and the thread's error information is left as it was. Locals of the body
//   between the fault and the guard are abandoned, not destroyed.

#include "server/FaultGuard.h"

#include <windows.h>

// The HRESULT for the exception being handled, with the thread's error
// information set for it (to be called inside a catch block).
HRESULT HResultFromCurrentException() noexcept;

template <typename Body>
HRESULT MethodGuard(Body&& body) noexcept {
    // The C++ exceptions are caught inside the fault guard: none of them may
    // unwind through its frame.
    auto guarded = [&body]() noexcept -> int32_t {
        try {
            body();
            return S_OK;
        } catch (...) {
            return HResultFromCurrentException();
        }
    };
    const GuardedCallOutcome outcome = RunUnderFaultGuard(guarded);
    return outcome.completed ? outcome.result : E_UNEXPECTED;
}
