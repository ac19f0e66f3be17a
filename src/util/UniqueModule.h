#pragma once
// Sole owner of a loaded library: FreeLibrary on reset and destruction.

#include "util/UniqueHandle.h"

#include <windows.h>

struct ModuleTraits {
    static void Destroy(HMODULE module) noexcept { FreeLibrary(module); }
};

using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;
