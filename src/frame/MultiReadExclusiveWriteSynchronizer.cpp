#include "frame/MultiReadExclusiveWriteSynchronizer.h"

bool TMultiReadExclusiveWriteSynchronizer::BeginRead() noexcept {
    if (CallerWrites()) return false;
    AcquireSRWLockShared(&FLock);
    return true;
}

void TMultiReadExclusiveWriteSynchronizer::EndRead(bool taken) noexcept {
    if (taken) ReleaseSRWLockShared(&FLock);
}

bool TMultiReadExclusiveWriteSynchronizer::BeginWrite() noexcept {
    if (CallerWrites()) return false;
    AcquireSRWLockExclusive(&FLock);
    FWriterThread = GetCurrentThreadId();
    return true;
}

void TMultiReadExclusiveWriteSynchronizer::EndWrite(bool taken) noexcept {
    if (!taken) return;
    FWriterThread = 0;
    ReleaseSRWLockExclusive(&FLock);
}
