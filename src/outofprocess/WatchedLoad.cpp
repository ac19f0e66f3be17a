#include "WatchedLoad.h"

namespace {

// A process loads one extension library at a time.
DWORD LoadingThread;
volatile LONG RaisedWhileLoading;

LONG CALLBACK NoteExceptionWhileLoading(EXCEPTION_POINTERS* exception) {
    if (GetCurrentThreadId() == LoadingThread)
        InterlockedExchange(&RaisedWhileLoading, static_cast<LONG>(exception->ExceptionRecord->ExceptionCode));
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

LoadExceptionNote::LoadExceptionNote() noexcept {
    LoadingThread = GetCurrentThreadId();
    RaisedWhileLoading = 0;
    FHandler = AddVectoredExceptionHandler(1, NoteExceptionWhileLoading);
}

DWORD LoadExceptionNote::End() noexcept {
    if (FHandler) RemoveVectoredExceptionHandler(FHandler);
    FHandler = nullptr;
    return static_cast<DWORD>(RaisedWhileLoading);
}
