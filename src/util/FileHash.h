#pragma once
// A file's bytes hashed with 64-bit FNV-1a: what tells two copies of an
// extension library apart in a capture record.

#include <cstdint>
#include <string>

// 0 when the file cannot be read.
uint64_t FileHash(const std::wstring& path);
