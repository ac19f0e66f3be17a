#pragma once
// Sole owners of memory that the system allocates for its caller: task
// memory (StringFromCLSID, for one) and local memory (FormatMessage with
// FORMAT_MESSAGE_ALLOCATE_BUFFER).

#include "util/UniqueHandle.h"

#include <windows.h>
#include <objbase.h>

struct TaskMemoryTraits {
    static void Destroy(void* block) noexcept { CoTaskMemFree(block); }
};
struct LocalMemoryTraits {
    static void Destroy(void* block) noexcept { LocalFree(block); }
};

template <typename T>
using UniqueTaskMemory = UniqueHandle<T*, TaskMemoryTraits>;
template <typename T>
using UniqueLocalMemory = UniqueHandle<T*, LocalMemoryTraits>;
