#include "util/CapturedCall.h"

#include <algorithm>
#include <cstring>

namespace {

template <typename Number>
bool ReadNumber(std::string_view data, size_t offset, Number& value) {
    if (data.size() < offset + sizeof value) return false;
    std::memcpy(&value, data.data() + offset, sizeof value);
    return true;
}

bool ReadText(std::string_view data, std::wstring& text) {
    if (data.size() % 2) return false;
    text.assign(data.size() / 2, L'\0');
    std::memcpy(text.data(), data.data(), data.size());
    return true;
}

// One entry of the HostCalls item at `offset`, which it moves past it.
bool ReadHostCall(std::string_view data, size_t& offset, CapturedHostCall& call) {
    uint8_t slot = 0, flags = 0;
    if (!ReadNumber(data, offset, slot) || !ReadNumber(data, offset + 1, flags) || ParamMethodName(slot).empty())
        return false;
    offset += 2;
    call.slot = slot;
    call.kind = static_cast<CaptureValueKind>(flags & 3);
    if (flags & CaptureResultFollows) {
        if (!ReadNumber(data, offset, call.result)) return false;
        offset += 4;
    }
    if (slot == CaptureOptionTextSlot) {
        if (!ReadNumber(data, offset, call.argument)) return false;
        offset += 4;
    }
    switch (call.kind) {
        case CaptureValueKind::None: return true;
        case CaptureValueKind::Number: {
            const bool read = ReadNumber(data, offset, call.number);
            offset += 4;
            return read;
        }
        case CaptureValueKind::Text: {
            uint32_t length = 0;
            if (!ReadNumber(data, offset, length) || length > (data.size() - offset - 4) / 2) return false;
            offset += 4;
            const bool read = ReadText(data.substr(offset, length * 2), call.text);
            offset += length * 2;
            return read;
        }
    }
    return false;
}

bool ReadHostCalls(std::string_view data, std::vector<CapturedHostCall>& calls) {
    for (size_t offset = 0; offset < data.size();)
        if (!ReadHostCall(data, offset, calls.emplace_back())) return false;
    return true;
}

bool ReadFrameShape(std::string_view data, CapturedFrame& frame) {
    return data.size() == 16 && ReadNumber(data, 0, frame.type) && ReadNumber(data, 4, frame.dimensions) &&
           ReadNumber(data, 8, frame.lowerBound) && ReadNumber(data, 12, frame.elements);
}

bool ReadCounted(std::string_view data, int32_t& first, std::string& bytes) {
    if (!ReadNumber(data, 0, first)) return false;
    bytes.assign(data.substr(4));
    return true;
}

// Stores one item; false when it is malformed.
bool ReadItem(const CaptureItem& item, CapturedCall& call) {
    const std::string_view data = item.data;
    switch (item.tag) {
    case CaptureTag::Time: return ReadNumber(data, 0, call.time);
    case CaptureTag::ProcessId: return ReadNumber(data, 0, call.processId);
    case CaptureTag::Operation: {
        uint32_t operation = 0;
        if (!ReadNumber(data, 0, operation) || operation < 1 || operation > 3) return false;
        call.operation = static_cast<CaptureOperation>(operation);
        return true;
    }
    case CaptureTag::ParamId: return ReadNumber(data, 0, call.paramId.emplace());
    case CaptureTag::DataLength: return ReadNumber(data, 0, call.dataLength);
    case CaptureTag::FrameShape: return ReadFrameShape(data, call.frame ? *call.frame : call.frame.emplace());
    case CaptureTag::FrameBytes: {
        CapturedFrame& frame = call.frame ? *call.frame : call.frame.emplace();
        return ReadCounted(data, frame.firstIndex, frame.bytes);
    }
    case CaptureTag::LibraryPath: return ReadText(data, call.libraryPath);
    case CaptureTag::LibraryVersion: return ReadText(data, call.libraryVersion);
    case CaptureTag::LibraryHash: return ReadNumber(data, 0, call.libraryHash);
    case CaptureTag::HostCalls: return ReadHostCalls(data, call.hostCalls);
    case CaptureTag::Status: return ReadNumber(data, 0, call.status.emplace());
    case CaptureTag::Result: return ReadNumber(data, 0, call.result);
    case CaptureTag::Duration: return ReadNumber(data, 0, call.duration);
    case CaptureTag::Digits: {
        int32_t count = 0;
        return ReadCounted(data, count, call.digits.emplace());
    }
    case CaptureTag::EditValue: return ReadText(data, call.editValue.emplace());
    default: return true;  // a later version's item: skipped
    }
}

}  // namespace

DecodedCall DecodeCapturedCall(const CaptureRecord& record) {
    CapturedCall call;
    call.offset = record.offset;
    bool hasOperation = false;
    for (const CaptureItem& item : record.items) {
        if (!ReadItem(item, call)) return {{}, "malformed item " + std::to_string(static_cast<unsigned>(item.tag))};
        hasOperation |= item.tag == CaptureTag::Operation;
    }
    if (!hasOperation) return {{}, "no operation"};
    return {std::move(call), {}};
}

std::string CapturedFieldBytes(const CapturedFrame& frame, int32_t start, int32_t count) {
    if (count <= 0) return {};
    const int64_t from = static_cast<int64_t>(start) - 1 - frame.firstIndex;
    const int64_t to = from + count;
    const int64_t recorded = static_cast<int64_t>(frame.bytes.size());
    const int64_t first = std::clamp<int64_t>(from, 0, recorded), last = std::clamp<int64_t>(to, 0, recorded);
    return frame.bytes.substr(static_cast<size_t>(first), static_cast<size_t>(last - first));
}
