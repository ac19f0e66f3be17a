#pragma once
// Builds one capture record (util/CaptureFormat.h) item by item in memory,
// ready to be appended to a capture file as one piece.

#include "util/CaptureFormat.h"

#include <cstdint>
#include <string>
#include <string_view>

class CaptureRecordBuilder {
public:
    // Takes no memory of its own yet: Reserve does.
    explicit CaptureRecordBuilder(uint32_t kind) noexcept;
    void Reserve(size_t bytes) { FBytes.reserve(bytes); }
    // Starts a new record in the same memory.
    void Restart(uint32_t kind) noexcept;

    void AddU32(CaptureTag tag, uint32_t value) { AddBytes(tag, &value, sizeof value); }
    void AddI32(CaptureTag tag, int32_t value) { AddBytes(tag, &value, sizeof value); }
    void AddU64(CaptureTag tag, uint64_t value) { AddBytes(tag, &value, sizeof value); }
    void AddText(CaptureTag tag, std::wstring_view text) { AddBytes(tag, text.data(), text.size() * sizeof(wchar_t)); }
    void AddBytes(CaptureTag tag, const void* bytes, size_t size);

    // An item made of several pieces: Begin, Append..., End.
    void BeginItem(CaptureTag tag);
    void Append(const void* bytes, size_t size) { FBytes.append(static_cast<const char*>(bytes), size); }
    template <typename Number>
    void AppendNumber(Number value) {
        Append(&value, sizeof value);
    }
    void EndItem();

    // The whole record with its checksum and closing length; the builder is
    // spent afterwards.
    std::string_view Finish();

private:
    std::string FBytes;
    size_t FItemStart = 0;
};
