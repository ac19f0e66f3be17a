#pragma once
// Builds one capture record (util/CaptureFormat.h) item by item in memory,
// ready to be appended to a capture file as one piece.
//
// A captured call writes a dozen items and an entry per host call into it,
// so every write is inline into a buffer of its own: a number is a store or
// two, where appending to a std::string costs an out-of-line call and a
// copy each time. The memory is kept from record to record (Restart).

#include "util/CaptureFormat.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

class CaptureRecordBuilder {
public:
    // Takes no memory of its own yet: the first write or Reserve does.
    explicit CaptureRecordBuilder(uint32_t kind) noexcept : FKind(kind) {}
    void Reserve(size_t bytes) {
        if (bytes > FCapacity) Grow(bytes - std::min(bytes, FUsed));
    }
    // Starts a new record in the same memory.
    void Restart(uint32_t kind) noexcept {
        FKind = kind;
        FUsed = RecordHead;
    }

    void AddU32(CaptureTag tag, uint32_t value) { AddNumber(tag, value); }
    void AddI32(CaptureTag tag, int32_t value) { AddNumber(tag, value); }
    void AddU64(CaptureTag tag, uint64_t value) { AddNumber(tag, value); }
    void AddText(CaptureTag tag, std::wstring_view text) { AddBytes(tag, text.data(), text.size() * sizeof(wchar_t)); }
    void AddBytes(CaptureTag tag, const void* bytes, size_t size) {
        BeginItem(tag);
        Append(bytes, size);
        EndItem();
    }

    // An item made of several pieces: Begin, Append..., End.
    void BeginItem(CaptureTag tag) {
        FItemStart = FUsed;
        PutItemHead(Room(CaptureItemHeader), tag, 0);
        FUsed += CaptureItemHeader;
    }
    void Append(const void* bytes, size_t size) {
        char* at = Room(size);
        if (size) std::memcpy(at, bytes, size);
        FUsed += size;
    }
    template <typename Number>
    void AppendNumber(Number value) {
        Append(&value, sizeof value);
    }
    // The first `size` bytes of `block`: the whole block is copied, one copy
    // of a fixed size where one of `size` bytes would be a call.
    void AppendFrom(const char (&block)[16], size_t size) {
        std::memcpy(Room(sizeof block), block, sizeof block);
        FUsed += size;
    }
    // The item's size into its head, and zeros to the next multiple of 4.
    void EndItem() {
        const auto size = static_cast<uint32_t>(FUsed - FItemStart - CaptureItemHeader);
        std::memcpy(FData.get() + FItemStart + 4, &size, sizeof size);
        const uint32_t zeros = 0;
        std::memcpy(Room(sizeof zeros), &zeros, sizeof zeros);
        FUsed += (4 - FUsed % 4) % 4;
    }

    // The whole record with its checksum and closing length; the builder is
    // spent afterwards.
    std::string_view Finish();

private:
    // The length and the kind, written by Finish.
    static constexpr size_t RecordHead = 8;

    // A number whose size is a multiple of 4 needs no padding: head and value
    // go in with fixed-size copies.
    template <typename Number>
    void AddNumber(CaptureTag tag, Number value) {
        static_assert(sizeof value % 4 == 0);
        char* item = Room(CaptureItemHeader + sizeof value);
        PutItemHead(item, tag, sizeof value);
        std::memcpy(item + CaptureItemHeader, &value, sizeof value);
        FUsed += CaptureItemHeader + sizeof value;
    }
    static void PutItemHead(char* at, CaptureTag tag, uint32_t size) noexcept {
        const uint32_t head[2] = {static_cast<uint32_t>(tag), size};  // the tag, then 0, little-endian
        std::memcpy(at, head, sizeof head);
    }
    // Where `bytes` more go, the memory grown when they do not fit (or when
    // there is none yet: then FUsed is past FCapacity).
    char* Room(size_t bytes) {
        if (bytes > FCapacity - FUsed || !FData) [[unlikely]]
            Grow(bytes);
        return FData.get() + FUsed;
    }
    void Grow(size_t bytes);

    std::unique_ptr<char[]> FData;
    size_t FCapacity = 0;
    size_t FUsed = RecordHead;
    size_t FItemStart = 0;
    uint32_t FKind;
};
