#pragma once
// Sole owner of a platform handle, shaped like unique_ptr: Traits::Destroy
// releases what it holds on reset and destruction.

#include <utility>

template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle owned) noexcept : FHandle(owned) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        Reset(std::exchange(other.FHandle, nullptr));
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Handle Get() const noexcept { return FHandle; }
    explicit operator bool() const noexcept { return FHandle != nullptr; }
    void Reset(Handle owned = nullptr) noexcept {
        Handle old = std::exchange(FHandle, owned);
        if (old) Traits::Destroy(old);
    }

private:
    Handle FHandle = nullptr;
};
