#pragma once
// A processor fault on command, as a host with a bug of its own would make one.

inline void WriteThroughNullPointer() {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 0;
}
