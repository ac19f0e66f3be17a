#pragma once
// Sole owner of a SAFEARRAY: destroyed on destruction unless released to a
// new owner (a VARIANT, for instance).

#include <windows.h>
#include <oleauto.h>

#include <utility>

class UniqueSafeArray {
public:
    explicit UniqueSafeArray(SAFEARRAY* owned) noexcept : FArray(owned) {}
    UniqueSafeArray(const UniqueSafeArray&) = delete;
    UniqueSafeArray& operator=(const UniqueSafeArray&) = delete;
    ~UniqueSafeArray() {
        if (FArray) SafeArrayDestroy(FArray);
    }

    SAFEARRAY* Get() const noexcept { return FArray; }
    SAFEARRAY* Release() noexcept { return std::exchange(FArray, nullptr); }

private:
    SAFEARRAY* FArray;
};
