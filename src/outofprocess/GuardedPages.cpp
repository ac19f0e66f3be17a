#include "GuardedPages.h"

GuardedPages::GuardedPages(size_t size) noexcept {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const size_t page = system.dwPageSize;
    const size_t writable = (size + page - 1) / page * page;
    FMemory.Reset(VirtualAlloc(nullptr, writable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    auto* base = static_cast<char*>(FMemory.Get());
    DWORD previous = 0;
    if (!base || !VirtualProtect(base + writable, page, PAGE_NOACCESS, &previous)) {
        FMemory.Reset();
        return;
    }
    FData = base + writable - size;
    FSize = size;
}
