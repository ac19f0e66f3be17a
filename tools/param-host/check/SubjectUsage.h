#pragma once
// What the child process that hosts a subject holds right now, for the
// leak measurements: heap bytes, handles and free thread-local storage
// slots (ProcessUsage.h), plus the address space it has reserved and
// committed and the threads it runs, which a library can leak without
// touching a heap.

#include <windows.h>

struct SubjectUsage {
    long long heapBytes = 0;
    long long reservedBytes = 0;   // address space in use: reserved or committed
    long long committedBytes = 0;
    long long handles = 0;
    long long threads = 0;
    long long freeTlsSlots = 0;
};

SubjectUsage MeasureSubjectUsage();

// The address space a 32-bit process has, and the threads and handles it
// can hold before it fails.
inline constexpr long long AddressSpaceBytes = 2ll << 30;
