#pragma once
// What one call of an entry point did (ProbedCall.h and what it left in its
// out-buffers), as the child sends it to the checker in one record.

#include "check/LentBuffers.h"
#include "check/ProbedCall.h"
#include "check/SubjectProtocol.h"

#include <vector>

struct CallObservation {
    size_t index = 0;  // in the call plan
    ProbedCall probe;
    std::vector<OutputReading> outputs;  // one per out-buffer of the entry point
    double microseconds = 0;             // how long the call took
};

SubjectRecord ObservationRecord(const CallObservation& observation);
CallObservation ReadObservation(const SubjectRecord& record);
