#pragma once
// Runs recorded Explain and Obscure calls again through the component, on a
// parameter object that answers as the host did (RecordedParam.h), and
// compares what the host would hold afterwards with what it held then.

#include "capture/CallResults.h"
#include "capture/CaptureSources.h"
#include "contracts/Vantrel_TLB.h"
#include "util/ParamIdList.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// The largest frame a replay rebuilds, in elements (16 MiB of VARIANTs): a
// record naming more is reported as not replayable.
constexpr int32_t ReplayMaxFrameElements = 1 << 20;

struct ReplayLibraries {
    std::optional<std::wstring> explain, obscure;  // none: each call's recorded library
    // --rules: the copy of FieldRules.dll that reads the changed rules, for
    // the calls whose recorded library is named FieldRules.dll or has its
    // hash (a renamed copy).
    std::optional<std::wstring> rules;
    uint64_t rulesHash = 0;
};

struct ReplayDifference {
    int32_t paramId;
    const char* operation;  // "explain", "obscure"
    std::string field;      // Explain: the field's bytes in hex; Obscure: the value text
    std::vector<ResultChange> changes;
};

struct ParamTally {
    size_t calls = 0, unchanged = 0, changed = 0, notReplayed = 0;
    std::map<std::string, size_t> reasons;  // why calls were not replayed, with their counts
};

struct ReplayReport {
    ParamTally total;
    std::vector<ReplayDifference> differences;
    std::map<int32_t, ParamTally> perParam;
};

ReplayReport ReplayCalls(IParamTransactor& transactor, const std::vector<SourcedCall>& calls,
                         const ReplayLibraries& libraries, const ParamIdList& paramIds);

// The name of a recorded operation as param_host's commands name it.
const char* OperationName(CaptureOperation operation);
// What identifies a call's field in a report (see ReplayDifference::field).
std::string FieldOf(const CapturedCall& call);
// The recorded answer to the first call of `method`, if it was asked.
const CapturedHostCall* FirstAnswer(const CapturedCall& call, std::string_view method);
