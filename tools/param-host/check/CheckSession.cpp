#include "check/CheckSession.h"

#include "check/ByteText.h"

#include "HostFailure.h"

#include <algorithm>

namespace {

constexpr ULONGLONG ProgressEveryMs = 5000;

}  // namespace

CheckSession::CheckSession(const CheckOptions& options, CheckReport& report)
    : FOptions(options),
      FReport(report),
      FProgram(options.hostProgram.empty() ? SubjectHostProgram() : options.hostProgram),
      FStart(GetTickCount64()),
      FDeadline(FStart + static_cast<ULONGLONG>(std::max(options.budgetSeconds, 1)) * 1000),
      FLastProgress(FStart) {}

SubjectRun CheckSession::Run(const SubjectTask& task, const std::wstring& activity, DWORD silenceLimitMs) {
    if (FOutOfTime) return {};
    FActivity = activity;
    FDetail.clear();
    SubjectWatch watch;
    watch.deadline = FDeadline;
    watch.silenceLimitMs = silenceLimitMs;
    watch.onRecord = [&](const SubjectRecord& record) { Follow(record); };
    watch.onWait = [&] { TellProgress(); };
    SubjectRun run = RunSubject(FProgram, TaskArguments(task), watch);
    ++FLoads;
    if (run.end == SubjectEnd::NotStarted)
        throw BadInput(L"cannot start '" + FProgram + L"' to host the library under check");
    if (run.end == SubjectEnd::OutOfTime) {
        FOutOfTime = true;
        FReport.notes.push_back(L"the check used up its budget of " + std::to_wstring(FOptions.budgetSeconds) +
                                L" s during the " + activity +
                                L" and stopped there (give it more with --budget SECONDS)");
    }
    return run;
}

void CheckSession::Follow(const SubjectRecord& record) {
    if (record.kind == SubjectRecordKind::Step && record.Field(0) == "cycle")
        FDetail = L", cycle " + WideAscii(record.Field(1)) + L" of " + std::to_wstring(FOptions.cycles);
    else if (record.kind == SubjectRecordKind::Call)
        FDetail = L", call " + WideAscii(record.Field(0));
    TellProgress();
}

void CheckSession::TellProgress() {
    const ULONGLONG now = GetTickCount64();
    if (!FOptions.progress || now - FLastProgress < ProgressEveryMs) return;
    FLastProgress = now;
    FOptions.progress(L"check: " + std::to_wstring((now - FStart) / 1000) + L" s of " +
                      std::to_wstring(FOptions.budgetSeconds) + L" s, " + FActivity + FDetail);
}
