#pragma once
// Sole owner of a loaded library: FreeLibrary on reset and destruction.

#include <windows.h>

#include <utility>

class UniqueModule {
public:
    UniqueModule() noexcept = default;
    explicit UniqueModule(HMODULE owned) noexcept : FHandle(owned) {}
    UniqueModule(const UniqueModule&) = delete;
    UniqueModule& operator=(const UniqueModule&) = delete;
    UniqueModule(UniqueModule&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
    UniqueModule& operator=(UniqueModule&& other) noexcept {
        Reset(std::exchange(other.FHandle, nullptr));
        return *this;
    }
    ~UniqueModule() { Reset(); }

    HMODULE Get() const noexcept { return FHandle; }
    explicit operator bool() const noexcept { return FHandle != nullptr; }
    void Reset(HMODULE owned = nullptr) noexcept {
        HMODULE old = std::exchange(FHandle, owned);
        if (old) FreeLibrary(old);
    }

private:
    HMODULE FHandle = nullptr;
};
