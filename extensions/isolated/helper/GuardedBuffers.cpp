#include "GuardedBuffers.h"

#include <cstring>

void GuardedBuffers::Clear() noexcept {
    std::memset(Buffer(0), 0, Size);
    std::memset(Buffer(1), 0, Size);
}

bool GuardedBuffers::Terminated(int index) noexcept { return std::memchr(Buffer(index), 0, Size) != nullptr; }
