#pragma once
// Sole owner of an open registry key: closed on reset and destruction.

#include "util/UniqueHandle.h"

#include <windows.h>

struct RegistryKeyTraits {
    static void Destroy(HKEY key) noexcept { RegCloseKey(key); }
};

using UniqueRegistryKey = UniqueHandle<HKEY, RegistryKeyTraits>;
