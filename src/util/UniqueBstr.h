#pragma once
// Sole owner of a BSTR, shaped like unique_ptr: freed on destruction, Receive()
// for out-arguments, Release() to hand ownership to a caller.

#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

class UniqueBstr {
public:
    UniqueBstr() noexcept = default;
    explicit UniqueBstr(BSTR owned) noexcept : FValue(owned) {}
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    UniqueBstr(UniqueBstr&& other) noexcept : FValue(other.Release()) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~UniqueBstr() { Reset(); }

    // A fresh copy of `text` (a null BSTR for an empty text); throws
    // std::bad_alloc when the allocation fails.
    static UniqueBstr Copy(std::wstring_view text);

    // A fresh BSTR of `length` characters for the caller to fill through
    // Get() (a null BSTR for length 0); throws std::bad_alloc when the
    // allocation fails.
    static UniqueBstr Allocate(size_t length);

    BSTR Get() const noexcept { return FValue; }
    UINT Length() const noexcept { return SysStringLen(FValue); }
    std::wstring_view View() const noexcept { return {FValue ? FValue : L"", Length()}; }

    BSTR Release() noexcept { return std::exchange(FValue, nullptr); }
    void Reset(BSTR owned = nullptr) noexcept {
        BSTR old = std::exchange(FValue, owned);
        if (old) SysFreeString(old);
    }
    // For a BSTR* out-argument: frees what is held and lends the slot.
    BSTR* Receive() noexcept {
        Reset();
        return &FValue;
    }

private:
    BSTR FValue = nullptr;
};
