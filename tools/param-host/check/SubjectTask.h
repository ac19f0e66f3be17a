#pragma once
// The task the checker gives the child that hosts its subject
// (SubjectChild.h), as the child's command line.

#include "check/CallPlan.h"

#include <string>
#include <vector>

struct SubjectTask {
    std::wstring task;  // load, calls, speed, per-call, unload
    std::wstring library;
    EntryExports exports;  // the entry points to call and their export names
    // calls: the plan's parameter ids, EditParam's share, where to start,
    // how long to watch for late calls afterwards.
    std::vector<int32_t> paramIds;
    int editCalls = 0;
    size_t from = 0;
    int lateMs = 0;
    // speed, per-call, unload: the typical call of each entry point.
    std::array<TypicalCall, 3> typical{};
    int count = 0;  // per-call: calls; unload: cycles
};

std::vector<std::wstring> TaskArguments(const SubjectTask& task);
// From the arguments after "check-subject".
SubjectTask ParseTaskArguments(const std::vector<std::wstring>& arguments);
