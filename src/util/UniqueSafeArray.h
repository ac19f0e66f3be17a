#pragma once
// Sole owner of a SAFEARRAY: destroyed on destruction unless released to a
// new owner (a VARIANT, for instance).

#include "util/UniqueHandle.h"

#include <windows.h>
#include <oleauto.h>

struct SafeArrayTraits {
    static void Destroy(SAFEARRAY* array) noexcept { SafeArrayDestroy(array); }
};

using UniqueSafeArray = UniqueHandle<SAFEARRAY*, SafeArrayTraits>;
