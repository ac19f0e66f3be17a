#pragma once
// One run of `param_host check`: its tasks, each in a new child that hosts
// the library (SubjectProcess.h), within the time budget, with a progress
// line every 5 s while a task runs. A task still running when the budget is
// used up is ended, and the report notes what was not done.

#include "check/ExtensionCheck.h"
#include "check/SubjectEnding.h"
#include "check/SubjectTask.h"

#include <string>

class CheckSession {
public:
    CheckSession(const CheckOptions& options, CheckReport& report);

    // Runs a task in a new child; records what the budget left undone.
    // Raises a HostFailure (bad input) when no child can be started.
    SubjectRun Run(const SubjectTask& task, const std::wstring& activity, DWORD silenceLimitMs = SilenceLimitMs);

    bool OutOfTime() const { return FOutOfTime; }
    // The children started so far: each loads the library once.
    int Loads() const { return FLoads; }

private:
    void Follow(const SubjectRecord& record);
    void TellProgress();

    const CheckOptions& FOptions;
    CheckReport& FReport;
    std::wstring FProgram;
    ULONGLONG FStart, FDeadline, FLastProgress;
    std::wstring FActivity, FDetail;
    bool FOutOfTime = false;
    int FLoads = 0;
};
