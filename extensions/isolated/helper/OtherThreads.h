#pragma once
// Holds every other thread of the process still for a moment: what a thread
// writes meanwhile, no other thread can see half done. Threads are listed
// before any is suspended, since a suspended thread may hold the heap's lock
// that listing takes; while they are held, the holder allocates nothing.
#include <windows.h>

class OtherThreads {
public:
    OtherThreads();
    ~OtherThreads();
    OtherThreads(const OtherThreads&) = delete;
    OtherThreads& operator=(const OtherThreads&) = delete;

private:
    static constexpr int Capacity = 512;
    HANDLE FHeld[Capacity];
    int FCount = 0;
};
