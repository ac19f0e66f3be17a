#pragma once
// Owners of what the host hands over during an operation: a reference to one
// of its objects, and a VARIANT that may hold one. Giving them back calls
// into the host's object (its Release), so it runs under the host-call guard
// like every other host call. Given back in the operation's own course
// (Reset, Clear), a fault there raises EProcessorFault, which unwinds the
// operation and releases everything else it took. Given back by the
// destructor (while an exception unwinds the operation), the fault is
// contained, as a destructor cannot raise, and the unwinding goes on. Either
// way the owner is empty afterwards and never touches the object again.

#include "guard/HostCallGuard.h"

#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <utility>

template <typename Interface>
class HostReference {
public:
    HostReference() noexcept = default;
    HostReference(const HostReference&) = delete;
    HostReference& operator=(const HostReference&) = delete;
    ~HostReference() {
        if (IUnknown* object = std::exchange(FObject, nullptr)) ReleaseContained(*object);
    }

    Interface* Get() const noexcept { return FObject; }
    explicit operator bool() const noexcept { return FObject != nullptr; }
    // For an out-argument that hands over a reference; call on an empty owner.
    Interface** Receive() noexcept { return &FObject; }

    // Gives the reference back; a fault in the object's Release raises.
    void Reset() {
        if (IUnknown* object = std::exchange(FObject, nullptr)) CallHostMethod(*object, &IUnknown::Release);
    }

private:
    static void ReleaseContained(IUnknown& object) noexcept {
        const HostCallOutcome released = TryCallHost([&object] { return object.Release(); });
        if (!released.completed) ContainProcessorFault(released.outcome);
    }

    Interface* FObject = nullptr;
};

// A VARIANT filled by the host (an object's value): initialised empty,
// cleared under the host-call guard.
class HostVariant {
public:
    HostVariant() noexcept { VariantInit(&FValue); }
    HostVariant(const HostVariant&) = delete;
    HostVariant& operator=(const HostVariant&) = delete;
    ~HostVariant() {
        const HostCallOutcome cleared = ClearUnderGuard();
        if (!cleared.completed) ContainProcessorFault(cleared.outcome);
    }

    VARIANT& Get() noexcept { return FValue; }
    const VARIANT& Get() const noexcept { return FValue; }

    // Empties it; a fault in what it held raises.
    void Clear() {
        const HostCallOutcome cleared = ClearUnderGuard();
        if (!cleared.completed) RaiseProcessorFault(cleared.outcome);
    }

private:
    // After a fault the content counts as given back: it is not touched again.
    HostCallOutcome ClearUnderGuard() noexcept {
        const HostCallOutcome cleared = TryCallHost([this] { return VariantClear(&FValue); });
        VariantInit(&FValue);
        return cleared;
    }

    VARIANT FValue;
};
