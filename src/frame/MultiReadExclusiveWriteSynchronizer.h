#pragma once
// A multi-reader/single-writer lock whose writer may enter again (to read or
// to write) while it holds the lock: a visit of the factory list under the
// exclusive lock destroys factories, which remove themselves from the list.

#include <windows.h>

#include <atomic>

class TMultiReadExclusiveWriteSynchronizer {
public:
    TMultiReadExclusiveWriteSynchronizer() = default;
    TMultiReadExclusiveWriteSynchronizer(const TMultiReadExclusiveWriteSynchronizer&) = delete;
    TMultiReadExclusiveWriteSynchronizer& operator=(const TMultiReadExclusiveWriteSynchronizer&) = delete;

    // Each Begin returns whether it took the lock (false: the calling thread
    // already writes); hand that to the matching End.
    bool BeginRead() noexcept;
    void EndRead(bool taken) noexcept;
    bool BeginWrite() noexcept;
    void EndWrite(bool taken) noexcept;

private:
    bool CallerWrites() const noexcept { return FWriterThread.load() == GetCurrentThreadId(); }

    SRWLOCK FLock = SRWLOCK_INIT;
    std::atomic<DWORD> FWriterThread{0};
};

class TReadGuard {
public:
    explicit TReadGuard(TMultiReadExclusiveWriteSynchronizer& lock) noexcept : FLock(lock), FTaken(lock.BeginRead()) {}
    ~TReadGuard() { FLock.EndRead(FTaken); }
    TReadGuard(const TReadGuard&) = delete;
    TReadGuard& operator=(const TReadGuard&) = delete;

private:
    TMultiReadExclusiveWriteSynchronizer& FLock;
    bool FTaken;
};

class TWriteGuard {
public:
    explicit TWriteGuard(TMultiReadExclusiveWriteSynchronizer& lock) noexcept
        : FLock(lock), FTaken(lock.BeginWrite()) {}
    ~TWriteGuard() { FLock.EndWrite(FTaken); }
    TWriteGuard(const TWriteGuard&) = delete;
    TWriteGuard& operator=(const TWriteGuard&) = delete;

private:
    TMultiReadExclusiveWriteSynchronizer& FLock;
    bool FTaken;
};
