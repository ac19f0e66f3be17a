#include "run/ExplainRefusal.h"

std::optional<ExplainRefusal> ExplainRefusalOf(const HostRequest& request) {
    const LONG start = request.param.startByte;
    const LONG count = request.param.byteCount;
    const LONG dataLength = request.dataLength;
    const std::wstring startText = L"start byte " + std::to_wstring(start);
    const std::wstring lengthText = L"data length " + std::to_wstring(dataLength);
    if (start >= dataLength) {
        const bool atLastByte = start == static_cast<LONG>(request.frame.size()) && start == dataLength;
        const std::wstring where = atLastByte ? L"the field starts at the frame's last byte (" + startText + L", " +
                                                    lengthText + L")"
                                              : startText + L" is at or past the " + lengthText;
        return ExplainRefusal{"start-at-or-past-data-length",
                              where + L": the component explains only a field that starts before the data "
                                      L"length; pass the length the host would (--data-length)"};
    }
    if (count <= 0)
        return ExplainRefusal{"empty-field", L"the field is empty (byte count " + std::to_wstring(count) +
                                                 L"): the component explains only a field of at least one byte"};
    return std::nullopt;
}
