#include "GuardedBuffers.h"

#include <cstring>

GuardedBuffers::GuardedBuffers() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    FPageSize = system.dwPageSize < Size ? Size : system.dwPageSize;
    // buffer page, guard page, buffer page, guard page
    FPages = static_cast<char*>(VirtualAlloc(nullptr, 4 * FPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!FPages) return;
    DWORD old = 0;
    VirtualProtect(FPages + FPageSize, FPageSize, PAGE_NOACCESS, &old);
    VirtualProtect(FPages + 3 * FPageSize, FPageSize, PAGE_NOACCESS, &old);
}

GuardedBuffers::~GuardedBuffers() {
    if (FPages) VirtualFree(FPages, 0, MEM_RELEASE);
}

void GuardedBuffers::Clear() noexcept {
    std::memset(Buffer(0), 0, Size);
    std::memset(Buffer(1), 0, Size);
}

bool GuardedBuffers::Terminated(int index) noexcept { return std::memchr(Buffer(index), 0, Size) != nullptr; }
