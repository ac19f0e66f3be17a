#pragma once
// Judges how each entry point behaved in the calls of the call plan
// (CallPlan.h), from what the child that made them observed: the calling
// convention and argument count from the stack bytes it removed, faults with
// their exception code and input, calls that ended or stalled the process or
// damaged its heap, out-buffers without a terminating zero or written past
// their 4096 bytes, digit texts with other characters or empty on success,
// texts that are not GBK or were written in UTF-8, the processor state it
// left changed, and an entry point that declines every id tried (a note).

#include "check/CallObservation.h"
#include "check/CallPlan.h"
#include "check/CheckReport.h"
#include "check/ExtensionLanguage.h"

#include <array>
#include <map>
#include <optional>

class BehaviourJudge {
public:
    BehaviourJudge(std::vector<PlannedCall> plan, ExtensionLanguage language);

    const std::vector<PlannedCall>& Plan() const { return FPlan; }

    // A call that returned, or ended in an exception the guard caught.
    void Observed(const CallObservation& observation);
    // A call in which (or right after which) the process ended, stalled or
    // had its heap damaged: `kind` is one of FindingKind.
    void Ended(size_t index, const char* kind, std::wstring what, std::wstring fix);
    // How many calls of the entry point ended the process so far.
    int EndedCalls(EntryPoint entryPoint) const;

    // The median time of the entry point's calls that completed, in
    // microseconds; nothing without such calls.
    std::optional<double> MedianMicroseconds(EntryPoint entryPoint) const;

    // The first input and id the entry point accepted, else its typical input with the first id.
    TypicalCall Typical(EntryPoint entryPoint, int32_t firstId) const;

    // Fills the entry point's counts and adds its findings and notes.
    void Report(EntryPointReport& entry, const std::vector<int32_t>& paramIds, CheckReport& report) const;

    // "with the 2-byte field 04 D2 (bytes 04 D2) and parameter id 3".
    static std::wstring Where(const PlannedCall& call, bool withBytes);

private:
    struct Example {
        std::wstring where;
        std::wstring what;
    };
    struct Ending {
        Example first;
        std::wstring fix;
        int calls = 0;
    };
    struct Tally {
        int calls = 0, accepted = 0, declined = 0, faulted = 0;
        std::optional<int32_t> stackBytesRemoved;
        std::optional<TypicalCall> firstAccepted;
        DWORD faultCode = 0;
        unsigned registerChanges = 0;
        std::optional<ProbedCall> firstStateChange;
        std::optional<Example> fault, registers, unterminated, writesPast, nonDigit, emptySuccess, utf8, notGbk;
        std::map<std::string, Ending> endings;  // by finding kind
        std::vector<double> microseconds;       // of the calls that completed
    };

    void TallyOutput(const OutputArgument& output, const OutputReading& reading, const EntryPointShape& shape,
                     const std::wstring& where, Tally& tally) const;

    std::vector<PlannedCall> FPlan;
    ExtensionLanguage FLanguage;
    std::array<Tally, 3> FTallies;
};
