#pragma once
// What ended or stalled a child that hosted the library under check (a
// SubjectRun that did not finish), as a finding's kind, reason and fix: a
// call that did not return, a damaged heap, an exception nobody handled (on
// the calling thread or one the library started), abort() or exit().

#include "check/CheckReport.h"
#include "check/ExtensionLanguage.h"
#include "check/SubjectProcess.h"

#include <string>

// A call that has not returned by then hangs.
inline constexpr DWORD SilenceLimitMs = 5000;

struct Ending {
    const char* kind;  // one of FindingKind
    std::wstring what;
    std::wstring fix;
};

Ending DescribeEnding(const SubjectRun& run, ExtensionLanguage language);

// The ending of a child that failed right after a call returned, with only
// the checker's own code running: memory the call damaged, unless a thread of
// the library's own failed; a stall then is a lock or a thread the library
// left behind.
Ending AfterTheCall(Ending ending, const SubjectRun& run, ExtensionLanguage language);

// Whether the exception nobody handled was raised on a thread the library started.
bool UnhandledOnItsOwnThread(const SubjectRun& run);

// How to stop damaging the heap, in the library's language.
std::wstring HeapDamageFix(ExtensionLanguage language);
