#pragma once
// What identifies an extension library in a capture record: its file
// version and a hash of its bytes, worked out once per path and process.

#include <cstdint>
#include <string>

struct LibraryIdentity {
    std::wstring version;  // "1.0.3.0", empty when the file has no version resource
    uint64_t hash = 0;     // FNV-1a (64-bit) of the file's bytes, 0 when it cannot be read
};

LibraryIdentity IdentifyLibrary(const std::wstring& path);
