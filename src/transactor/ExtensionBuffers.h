#pragma once
// The buffers lent to an extension for one call.

#include "contracts/ExtensionEntryPoints.h"
#include "transactor/ExtensionCall.h"
#include "util/StackBuffer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>

// An input: the bytes and one zero byte after them, in a buffer never
// smaller than the usual 4096 bytes and always large enough for every byte
// the extension is told about. The entry points' contract promises nothing
// beyond the stated length, and the zero byte ends the input for an
// extension that reads it as a C string; the rest of the buffer is not
// cleared, which would cost more than the rest of the call. The usual size
// is on the stack, a larger one on the heap.
class ExtensionInput {
public:
    explicit ExtensionInput(std::string_view bytes)
        : FBytes(std::max<size_t>(bytes.size() + 1, ExtensionBufferSize)), FLength(bytes.size()) {
        char* buffer = FBytes.Data();
        std::copy(bytes.begin(), bytes.end(), buffer);
        buffer[FLength] = '\0';
    }

    uint32_t Pointer() const noexcept { return PointerArgument(FBytes.Data()); }
    uint32_t Length() const noexcept { return static_cast<uint32_t>(FLength); }

private:
    StackBuffer<char, ExtensionBufferSize> FBytes;
    size_t FLength;
};

// An output: 4096 bytes, zeroed before the call, and a guard byte that stays
// zero, so an extension that writes its terminator one byte too far does no
// harm and an unterminated text is still read no further than 4096 bytes.
class ExtensionOutput {
public:
    uint32_t Pointer() noexcept { return PointerArgument(FBytes.data()); }

    // The text before the first zero byte, at most 4096 bytes.
    std::string Text() const { return std::string(FBytes.data(), strnlen(FBytes.data(), ExtensionBufferSize)); }

private:
    std::array<char, ExtensionBufferSize + 1> FBytes{};
};
