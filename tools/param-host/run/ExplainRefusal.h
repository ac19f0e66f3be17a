#pragma once
// Why the component refused to explain a field (status 1, empty texts), told
// from what the host handed it, so that a user of param_host meets a reason
// rather than a bare status. The component's position test refuses a field
// whose start is at or past the data length, which includes a field that
// starts at the frame's last byte (start equal to the data length); and an
// empty field.

#include "common/HostRequest.h"

#include <optional>
#include <string>

struct ExplainRefusal {
    const char* reason;        // "start-at-or-past-data-length" or "empty-field"
    std::wstring explanation;  // one sentence for the user
};

// The reason for a refused explanation of `request`; none when the request
// gives the component no reason to refuse.
std::optional<ExplainRefusal> ExplainRefusalOf(const HostRequest& request);
