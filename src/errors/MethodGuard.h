#pragma once
// The boundary between the component's exceptions and the HRESULTs of its
// interfaces: every method an object serves through its interface (for
// TParamTransactor, IParamTransactor from slot 7 on) runs its body inside
// MethodGuard, which is given the interface's identifier and the class's
// ProgID for the error information.
//
// - The body completes: S_OK.
// - A C++ exception escapes it: the HRESULT and error information that
//   HResultFromException makes of it (that interface, source that ProgID).
// - A processor fault or other structured exception: E_UNEXPECTED, and the
//   thread's error information is left as it was.
//
// The guarantee after a fault: nothing the operation took stays taken. Every
// call into the host's objects and every read of the host's memory goes
// through the host-call guard (guard/HostCallGuard.h), which turns a fault
// there into EProcessorFault; it unwinds through the operation like any
// exception, so every array lock, reference, allocation and error object the
// operation holds is released before E_UNEXPECTED is answered, and the
// object goes on working. The fault guard around the whole body stays as the
// last line of defence for a fault in the component's own code, which would
// be a defect: its locals between the fault and the guard are abandoned.

#include "guard/FaultGuard.h"
#include "guard/HostCallGuard.h"

#include <windows.h>

// The HRESULT for the exception being handled, with the thread's error
// information set for it (to be called inside a catch block).
HRESULT HResultFromCurrentException(REFIID interfaceId, const wchar_t* progId) noexcept;

template <typename Body>
HRESULT MethodGuard(REFIID interfaceId, const wchar_t* progId, Body&& body) noexcept {
    // The C++ exceptions are caught inside the fault guard: none of them may
    // unwind through its frame.
    auto guarded = [&]() noexcept -> int32_t {
        try {
            body();
            return S_OK;
        } catch (const EProcessorFault&) {
            return E_UNEXPECTED;
        } catch (...) {
            return HResultFromCurrentException(interfaceId, progId);
        }
    };
    const GuardedCallOutcome outcome = RunUnderFaultGuard(guarded);
    return outcome.completed ? outcome.result : E_UNEXPECTED;
}
