#pragma once
// The layout of a capture file (docs/capture.md describes it for other
// tools). A file is a sequence of records, each self-delimiting and with a
// checksum, so that a process ended in the middle of a write loses at most
// the record it was writing:
//
//   u32 length   the record's size in bytes, a multiple of 4, at least 20
//   u32 kind     CaptureFileKind (the first record) or CaptureCallKind
//   items        u16 tag, u16 0, u32 size, `size` bytes, zeros to a multiple of 4
//   u32 sum      the sum of the 32-bit words from `kind` to the last item
//   u32 weighted the sum of the running sums of those words
//   u32 length   the same length again
//
// All numbers are little-endian, sums modulo 2^32. Texts are UTF-16LE
// without a terminator. After the last record the file holds zeros.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr uint32_t CaptureFileKind = 0x4643564F;  // "OVCF": the file's first record
constexpr uint32_t CaptureCallKind = 0x4343564F;  // "OVCC": one call
constexpr uint32_t CaptureFormatVersion = 1;
constexpr size_t CaptureRecordOverhead = 20;      // both lengths, the kind and the two sums
constexpr size_t CaptureItemHeader = 8;
// Larger records are not written, and not believed when read.
constexpr size_t CaptureMaxRecord = 1 << 20;
// A frame of at most this many elements is recorded whole, a larger one as
// the field alone with its first index.
constexpr int32_t CaptureWholeFrameElements = 256;

enum class CaptureTag : uint16_t {
    // The file record.
    FormatVersion = 1,  // u32
    ProcessId = 2,      // u32 (in call records too)
    ProcessImage = 3,   // text: the host program's path
    // A call record.
    Time = 10,          // u64: UTC, 100 ns units since 1601 (FILETIME)
    Operation = 11,     // u32: CaptureOperation
    ParamId = 12,       // i32
    DataLength = 13,    // i32: what the host passed to Explain
    FrameShape = 14,    // u32 VARTYPE, i32 dimensions, i32 lower bound, i32 elements (first dimension)
    FrameBytes = 15,    // i32 index of the first element, then the low byte of each element
    LibraryPath = 16,   // text: the slot's path as the host put it (empty: built in)
    LibraryVersion = 17,  // text: the file version, e.g. "1.0.3.0", empty when none
    LibraryHash = 18,   // u64: FNV-1a of the library file's bytes, 0 when unreadable
    HostCalls = 19,     // every IParam call, in call order (see CaptureValueKind)
    Status = 20,        // i32: the status after the call
    Result = 21,        // i32: the HRESULT returned to the host
    Duration = 22,      // u32: the call's duration in 100 ns units
    Digits = 23,        // Obscure: i32 count, then the low byte of each element
    EditValue = 24,     // Edit: text, the value returned
};

enum class CaptureOperation : uint32_t { Explain = 1, Obscure = 2, Edit = 3 };

// The HostCalls item holds one entry per call, packed without padding:
//   u8 slot         IParam's vtable slot, 3 to 79
//   u8 flags        the value's kind (CaptureValueKind) in bits 0-1;
//                   bit 7: a result other than S_OK (0) follows
//   [i32 result]    the HRESULT, or the answer of CheckValueText and GetOptionText
//   [i32 argument]  GetOptionText's index (that slot only)
//   value           the getter's answer or the setter's argument: an i32, or
//                   a u32 count of UTF-16 units and the units
enum class CaptureValueKind : uint8_t { None = 0, Number = 1, Text = 2 };
constexpr uint8_t CaptureResultFollows = 0x80;
constexpr unsigned CaptureOptionTextSlot = 4;

struct CaptureChecksum {
    uint32_t sum = 0;
    uint32_t weighted = 0;
    bool operator==(const CaptureChecksum&) const = default;
};

// The checksum of `count` little-endian 32-bit words at `words`.
CaptureChecksum CaptureChecksumOf(const unsigned char* words, size_t count) noexcept;

namespace capture_detail {
// "ReservedNN" for every slot from 5 to 79; the named methods below replace theirs.
inline constexpr std::array<std::array<char, 11>, 80> ReservedNames = [] {
    std::array<std::array<char, 11>, 80> names{};
    for (size_t slot = 5; slot < names.size(); ++slot) {
        constexpr std::string_view prefix = "Reserved";
        for (size_t i = 0; i < prefix.size(); ++i) names[slot][i] = prefix[i];
        names[slot][8] = static_cast<char>('0' + slot / 10);
        names[slot][9] = static_cast<char>('0' + slot % 10);
    }
    return names;
}();

// IParam's slots 3 to 79 by name, as the host's type library declares them.
inline constexpr std::array<std::string_view, 80> MethodNames = [] {
    std::array<std::string_view, 80> names{};
    for (size_t slot = 5; slot < names.size(); ++slot) names[slot] = std::string_view(ReservedNames[slot].data(), 10);
    names[3] = "CheckValueText";
    names[4] = "GetOptionText";
    names[8] = "GetParamName";
    names[10] = "GetValueText";
    names[11] = "SetValueText";
    names[12] = "GetDisplaySuffix";
    names[17] = "GetDataType";
    names[20] = "GetInputKind";
    names[22] = "GetObscureIntA";
    names[26] = "GetParamId";
    names[28] = "GetMaxValueText";
    names[30] = "GetMinValueText";
    names[36] = "GetStartByte";
    names[38] = "GetByteCount";
    names[40] = "GetBitIndex";
    names[43] = "SetExplainCode";
    names[44] = "GetBitMode";
    names[48] = "GetObscureText";
    names[50] = "GetHexEncoded";
    names[54] = "GetOptionCount";
    names[56] = "GetBitText";
    names[57] = "SetBitText";
    names[58] = "GetObscureIntB";
    names[60] = "GetObscureByteA";
    names[62] = "GetObscureByteB";
    names[65] = "SetDisplayText";
    return names;
}();

}  // namespace capture_detail

// IParam's method in vtable slot `slot` by its name ("GetStartByte",
// "Reserved05"), empty for a slot outside 3 to 79.
constexpr std::string_view ParamMethodName(unsigned slot) noexcept {
    return slot < capture_detail::MethodNames.size() ? capture_detail::MethodNames[slot] : std::string_view();
}

// The slot of a method named so, 0 for none.
constexpr unsigned ParamMethodSlot(std::string_view name) noexcept {
    for (unsigned slot = 3; !name.empty() && slot < capture_detail::MethodNames.size(); ++slot)
        if (capture_detail::MethodNames[slot] == name) return slot;
    return 0;
}
