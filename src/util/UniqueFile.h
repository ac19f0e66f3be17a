#pragma once
// Sole owner of an open C runtime stream: closed on reset and destruction.

#include "util/UniqueHandle.h"

#include <cstdio>

struct FileTraits {
    static void Destroy(std::FILE* file) noexcept { std::fclose(file); }
};

using UniqueFile = UniqueHandle<std::FILE*, FileTraits>;
