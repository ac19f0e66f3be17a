#pragma once
// Runs one task of the child that hosts the library under check
// (SubjectChild.h) and collects its records. The child is this program
// itself started again, with its output on a pipe and without a window,
// handed nothing else but the checker's process handle. A
// child that stays silent longer than the silence limit is taken as hung, one
// still running at the deadline as out of time; both are ended.

#include "check/SubjectProtocol.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

enum class SubjectEnd {
    Finished,    // it sent "end"
    Died,        // it ended without "end": the library took it down
    Hung,        // silent for longer than the limit, ended by the checker
    OutOfTime,   // still running at the deadline, ended by the checker
    NotStarted,  // the program could not be started
};

struct SubjectRun {
    std::vector<SubjectRecord> records;
    SubjectEnd end = SubjectEnd::NotStarted;
    DWORD exitCode = 0;  // when it died
};

struct SubjectWatch {
    ULONGLONG deadline = 0;       // GetTickCount64() value
    DWORD silenceLimitMs = 5000;  // longest wait for the next record
    std::function<void(const SubjectRecord&)> onRecord;  // as each record arrives
    std::function<void()> onWait;                         // while waiting, several times a second
};

// The program that hosts subjects: this process's own executable.
std::wstring SubjectHostProgram();

// The child's option that hands it the checker's process handle: the child
// ends the moment the checker does.
inline constexpr wchar_t StarterOption[] = L"--starter";

SubjectRun RunSubject(const std::wstring& program, const std::vector<std::wstring>& arguments,
                      const SubjectWatch& watch);
