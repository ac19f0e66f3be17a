#pragma once
// Sole owner of a handle-like resource, shaped like unique_ptr: its traits'
// Destroy releases what it holds on reset and destruction. Traits that need
// more than the handle to release it (the window a device context belongs
// to, the type library that gave out attributes) are given with the handle
// and kept beside it; traits without state take no room.

#include <type_traits>
#include <utility>

template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle owned, Traits traits = {}) noexcept : FHandle(owned), FTraits(traits) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : FHandle(other.Release()), FTraits(other.FTraits) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        Reset(other.Release());
        FTraits = other.FTraits;
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Handle Get() const noexcept { return FHandle; }
    // For a handle that points to a structure (attributes, for one).
    Handle operator->() const noexcept
        requires std::is_pointer_v<Handle>
    {
        return FHandle;
    }
    explicit operator bool() const noexcept { return FHandle != nullptr; }

    // Hands the handle to a new owner.
    Handle Release() noexcept { return std::exchange(FHandle, nullptr); }
    void Reset(Handle owned = nullptr) noexcept {
        Handle old = std::exchange(FHandle, owned);
        if (old) FTraits.Destroy(old);
    }

private:
    Handle FHandle = nullptr;
    [[no_unique_address]] Traits FTraits{};
};
