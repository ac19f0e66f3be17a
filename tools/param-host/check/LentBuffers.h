#pragma once
// The buffers lent to an extension under check. An output buffer is the
// documented 4096 bytes followed by a margin of another 4096 and a page that
// cannot be touched: a write past the 4096 bytes lands in the margin, where it
// is seen, and a wilder one faults instead of corrupting this process. Unless
// the contract promises zeros, the buffer is filled with a marker byte (0xFF,
// which no GBK text contains) rather than zeros, so that a text written
// without its terminating zero shows.

#include "outofprocess/GuardedPages.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr unsigned LentBufferSize = 4096;

// What an extension left in an output buffer.
struct OutputReading {
    std::string text;          // the bytes before the first zero, or before the first marker byte without one
    bool written = false;      // some byte of the 4096 changed
    bool terminated = true;    // a zero byte within the 4096, or nothing written
    bool writtenPast = false;  // a byte of the margin changed
};

class LentOutput {
public:
    // Raises std::bad_alloc when the memory cannot be had.
    explicit LentOutput(bool zeroed = false);

    uint32_t Slot() const noexcept;
    OutputReading Read() const;
    // The 4096 bytes as the component would have read them from its zeroed
    // buffer: every marker byte left is zero again.
    void CopyAsZeroed(char* target) const noexcept;

private:
    const unsigned char* Bytes() const noexcept { return reinterpret_cast<const unsigned char*>(FMemory.Data()); }

    GuardedPages FMemory;
    unsigned char FFill;
};

// An input: the bytes followed by zeros, never smaller than 4096 bytes, as
// the component lends them.
class LentInput {
public:
    explicit LentInput(std::string_view bytes);
    uint32_t Slot() const noexcept;
    uint32_t Length() const noexcept { return FLength; }

private:
    std::vector<char> FBytes;
    uint32_t FLength;
};
