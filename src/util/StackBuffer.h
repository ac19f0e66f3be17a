#pragma once
// A buffer whose length is fixed when it is made, kept on the stack up to
// its capacity and on the heap beyond. The fields and texts an operation
// works on are usually short, and under this platform's allocator one heap
// allocation costs more than all the rest of the work on a short field.
// The elements start uninitialised: the owner writes them before reading.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>

// The capacity on the stack, in elements, of the working buffers of the
// operations.
inline constexpr size_t StackBufferCapacity = 256;

template <typename T, size_t Capacity = StackBufferCapacity>
class StackBuffer {
public:
    explicit StackBuffer(size_t size = 0) { Resize(size); }
    StackBuffer(const StackBuffer&) = delete;
    StackBuffer& operator=(const StackBuffer&) = delete;

    T* Data() noexcept { return FHeap ? FHeap.get() : FInline; }
    const T* Data() const noexcept { return FHeap ? FHeap.get() : FInline; }
    size_t Size() const noexcept { return FSize; }
    std::basic_string_view<T> View() const noexcept { return {Data(), FSize}; }

    // Makes it `size` elements long; their values are lost.
    void Resize(size_t size) {
        if (size > Capacity) FHeap = std::make_unique_for_overwrite<T[]>(size);
        FSize = size;
    }

    // Keeps only the first `size` elements.
    void Shorten(size_t size) noexcept { FSize = std::min(FSize, size); }

private:
    T FInline[Capacity];
    std::unique_ptr<T[]> FHeap;
    size_t FSize = 0;
};
