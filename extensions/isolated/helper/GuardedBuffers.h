#pragma once
// The two output buffers the helper lends the extension: 4096 bytes each,
// each followed by a page no one may touch, so that a write past its end
// faults at once (and costs that call) instead of corrupting the helper.
#include "outofprocess/GuardedPages.h"

#include <cstddef>

class GuardedBuffers {
public:
    static constexpr size_t Size = 4096;

    bool Ready() const noexcept { return FPages[0].Ready() && FPages[1].Ready(); }
    char* Buffer(int index) noexcept { return FPages[index].Data(); }
    // Zeroes both, as the component does before every call (fresh pages are zero).
    void Clear() noexcept;
    // The text of buffer `index` has its zero byte within the 4096 bytes.
    bool Terminated(int index) noexcept;

private:
    GuardedPages FPages[2]{GuardedPages(Size), GuardedPages(Size)};
};
