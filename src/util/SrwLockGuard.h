#pragma once
// Holds a slim reader/writer lock exclusively for a scope.

#include <windows.h>

class SrwLockGuard {
public:
    explicit SrwLockGuard(SRWLOCK& lock) noexcept : FLock(lock) { AcquireSRWLockExclusive(&FLock); }
    SrwLockGuard(const SrwLockGuard&) = delete;
    SrwLockGuard& operator=(const SrwLockGuard&) = delete;
    ~SrwLockGuard() { ReleaseSRWLockExclusive(&FLock); }

private:
    SRWLOCK& FLock;
};
