#pragma once
// The child process that hosts the library under check: `param_host
// check-subject --task TASK --library PATH ...`, started by the checker
// (SubjectProcess.h), never by a user. It loads the library, does one task
// and answers in records (SubjectProtocol.h):
//   load      the export table
//   calls     the call plan (CallPlan.h) from --from on, each call observed,
//             the heaps validated after it; then the IParam methods called
//             and, after --late-ms, the calls made on kept objects
//   speed     microseconds per call of one entry point on one input
//   per-call  what --count calls of one entry point leave behind
//   unload    what --cycles loads, calls and frees leave behind
// Whatever the library does to the process (a fault outside the guard, a
// damaged heap, exit(), an endless loop) ends or stalls only this process.

#include <string>
#include <vector>

bool IsSubjectChildCommand(const std::vector<std::wstring>& arguments);

// Returns the exit code; on a finished task the process ends itself after
// its last record, without unloading anything.
int RunSubjectChild(const std::vector<std::wstring>& arguments);
