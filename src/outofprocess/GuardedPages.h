#pragma once
// Bytes lent to an extension that end exactly where a page no one may touch
// begins: a write past their end faults at once, in the process that hosts
// the extension, instead of reaching anything else of it. Fresh bytes are
// zero. Movable, so that a set of them can live in a vector.
#include "util/UniqueHandle.h"

#include <windows.h>

#include <cstddef>

struct VirtualMemoryTraits {
    static void Destroy(void* memory) noexcept { VirtualFree(memory, 0, MEM_RELEASE); }
};
using UniqueVirtualMemory = UniqueHandle<void*, VirtualMemoryTraits>;

class GuardedPages {
public:
    // `size` bytes, at the end of whole pages; not Ready() when the memory
    // cannot be had.
    explicit GuardedPages(size_t size) noexcept;

    bool Ready() const noexcept { return static_cast<bool>(FMemory); }
    char* Data() const noexcept { return FData; }
    size_t Size() const noexcept { return FSize; }

private:
    UniqueVirtualMemory FMemory;
    char* FData = nullptr;
    size_t FSize = 0;
};
