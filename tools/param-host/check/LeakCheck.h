#pragma once
// Judges what repeated calls and repeated loads left behind in the child
// that hosted the library (the "per-call" and "unload" measures of
// SubjectChild.h): heap bytes, reserved and committed address space,
// handles, thread-local storage slots and threads. A leak is projected to
// when the host fails, and its fix is worded for the library's language.
//
// Limits: 16 heap bytes or a page of address space per call, or a handle,
// thread or TLS slot every other call; per load 64 KiB
// of address space, or over all cycles more than 2 TLS slots, 4 handles, 2
// threads or 16 KiB of heap (what Wine's loader itself may keep).

#include "check/CheckReport.h"
#include "check/ExtensionLanguage.h"
#include "check/SubjectProtocol.h"

#include <vector>

UnloadReport JudgeUnloads(const SubjectRecord& measure, ExtensionLanguage language, std::vector<Finding>& findings);

void JudgePerCall(const SubjectRecord& measure, ExtensionLanguage language, EntryPointReport& entry,
                  std::vector<Finding>& findings);
