#include "check/LentBuffers.h"

#include "check/EntryPoints.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr unsigned char Marker = 0xFF;
constexpr unsigned MarginSize = 4096;

}  // namespace

LentOutput::LentOutput(bool zeroed) : FMemory(LentBufferSize + MarginSize), FFill(zeroed ? 0 : Marker) {
    if (!FMemory.Ready()) throw std::bad_alloc();
    auto* bytes = reinterpret_cast<unsigned char*>(FMemory.Data());
    std::memset(bytes, FFill, LentBufferSize);
    std::memset(bytes + LentBufferSize, Marker, MarginSize);
}

uint32_t LentOutput::Slot() const noexcept { return PointerSlot(FMemory.Data()); }

OutputReading LentOutput::Read() const {
    const unsigned char* bytes = Bytes();
    const unsigned char* end = bytes + LentBufferSize;
    OutputReading reading;
    reading.written = std::any_of(bytes, end, [this](unsigned char byte) { return byte != FFill; });
    reading.writtenPast = std::any_of(end, end + MarginSize, [](unsigned char byte) { return byte != Marker; });
    const unsigned char* zero = std::find(bytes, end, 0);
    reading.terminated = !reading.written || zero != end;
    const unsigned char* textEnd = zero != end || FFill != Marker ? zero : std::find(bytes, end, Marker);
    if (reading.written)
        reading.text.assign(reinterpret_cast<const char*>(bytes), reinterpret_cast<const char*>(textEnd));
    return reading;
}

void LentOutput::CopyAsZeroed(char* target) const noexcept {
    const unsigned char* bytes = Bytes();
    std::transform(bytes, bytes + LentBufferSize, target,
                   [](unsigned char byte) { return static_cast<char>(byte == Marker ? 0 : byte); });
}

LentInput::LentInput(std::string_view bytes)
    : FBytes(std::max<size_t>(bytes.size(), LentBufferSize), '\0'), FLength(static_cast<uint32_t>(bytes.size())) {
    std::copy(bytes.begin(), bytes.end(), FBytes.begin());
}

uint32_t LentInput::Slot() const noexcept { return PointerSlot(FBytes.data()); }
