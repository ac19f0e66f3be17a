#pragma once
// Keeps a SAFEARRAY locked for a scope, so that its data stays in place and
// its bounds stay fixed while elements are read through pointers.

#include <windows.h>
#include <oleauto.h>

class SafeArrayLockGuard {
public:
    explicit SafeArrayLockGuard(SAFEARRAY& array) noexcept : FArray(array), FResult(SafeArrayLock(&array)) {}
    SafeArrayLockGuard(const SafeArrayLockGuard&) = delete;
    SafeArrayLockGuard& operator=(const SafeArrayLockGuard&) = delete;
    ~SafeArrayLockGuard() {
        if (SUCCEEDED(FResult)) SafeArrayUnlock(&FArray);
    }

    // The result of locking; the array is locked only when it succeeded.
    HRESULT Result() const noexcept { return FResult; }

private:
    SAFEARRAY& FArray;
    HRESULT FResult;
};
