#pragma once
// One call read back from a capture file, its items decoded
// (util/CaptureFormat.h names them).

#include "util/CaptureFormat.h"
#include "util/CaptureReader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CapturedHostCall {
    unsigned slot = 0;  // IParam's vtable slot
    int32_t result = 0;
    int32_t argument = 0;
    CaptureValueKind kind = CaptureValueKind::None;
    int32_t number = 0;
    std::wstring text;
};

struct CapturedFrame {
    uint32_t type = 0;  // the VARIANT's type
    int32_t dimensions = 0, lowerBound = 0, elements = 0;
    int32_t firstIndex = 0;  // the array index of bytes[0]
    std::string bytes;       // the low byte of each recorded element
};

struct CapturedCall {
    uint64_t offset = 0;  // in its file
    uint64_t time = 0;    // FILETIME, UTC
    uint32_t processId = 0;
    CaptureOperation operation = CaptureOperation::Explain;
    std::optional<int32_t> paramId;
    int32_t dataLength = 0;
    std::optional<CapturedFrame> frame;
    std::wstring libraryPath, libraryVersion;
    uint64_t libraryHash = 0;
    std::vector<CapturedHostCall> hostCalls;
    std::optional<int32_t> status;
    int32_t result = 0;
    uint32_t duration = 0;                 // 100 ns units
    std::optional<std::string> digits;     // Obscure: the low byte of each element
    std::optional<std::wstring> editValue; // Edit
};

// The call a record holds, or a reason why it holds none sound.
struct DecodedCall {
    std::optional<CapturedCall> call;
    std::string problem;
};
DecodedCall DecodeCapturedCall(const CaptureRecord& record);

// The field's bytes as the operation read them: `count` elements from the
// array's index `start` - 1 on (an Explain's start byte and byte count), as
// far as they were recorded.
std::string CapturedFieldBytes(const CapturedFrame& frame, int32_t start, int32_t count);
