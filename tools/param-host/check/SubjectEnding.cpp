#include "check/SubjectEnding.h"

#include "check/ProbedCall.h"
#include "childprocess/EndingNames.h"

#include <optional>

namespace {

using namespace SubjectRecordKind;

constexpr DWORD HeapCorruption = 0xC0000374;

std::optional<DWORD> UnhandledCode(const SubjectRun& run) {
    for (const SubjectRecord& record : run.records)
        if (record.kind == Unhandled) return static_cast<DWORD>(record.Number(0));
    return std::nullopt;
}

}  // namespace

bool UnhandledOnItsOwnThread(const SubjectRun& run) {
    for (const SubjectRecord& record : run.records)
        if (record.kind == Unhandled) return record.Number(2) != 0;
    return false;
}

std::wstring HeapDamageFix(ExtensionLanguage language) {
    return ForLanguage(language,
                       L"write only within the blocks you allocate: check every length before memcpy or strcpy "
                       L"into a malloc'ed block, and allocate strlen(text) + 1 bytes for a text",
                       L"write only within the blocks you allocate: use std::string or std::vector instead of "
                       L"raw buffers, and check every length before memcpy");
}

Ending DescribeEnding(const SubjectRun& run, ExtensionLanguage language) {
    if (run.end == SubjectEnd::Hung)
        return {FindingKind::Hangs,
                L"does not return within " + std::to_wstring(SilenceLimitMs / 1000) + L" s",
                L"return within a millisecond: no waiting, no endless loops, no dialogs; do slow work outside the "
                L"call"};
    const std::optional<DWORD> unhandled = UnhandledCode(run);
    if (unhandled == HeapCorruption || run.exitCode == HeapCorruption)
        return {FindingKind::HeapDamaged, L"damages the heap (the heap manager stopped the process)",
                HeapDamageFix(language)};
    if (unhandled)
        return {FindingKind::ProcessEnded,
                L"ends the process with " + DescribeException(*unhandled) +
                    (UnhandledOnItsOwnThread(run) ? L", raised on a thread it started"
                                                  : L", raised where no guard catches it"),
                ForLanguage(language,
                            L"check every pointer and length, in the entry points and in the threads you start",
                            L"check every pointer and length, and catch every exception (catch (...)), in the entry "
                            L"points and in the threads you start")};
    if (run.exitCode == AbortExitCode)
        return {FindingKind::ProcessEnded,
                L"ends the process through abort() (exit code 3; an uncaught C++ exception ends there too)",
                ForLanguage(language, L"never call abort() or assert() in an extension: return 1 instead",
                            L"catch every exception inside the entry point (try { ... } catch (...) { return 1; }); "
                            L"never call abort()")};
    return {FindingKind::ProcessEnded,
            L"ends the process with exit code " + std::to_wstring(run.exitCode) + L" (exit() or ExitProcess)",
            L"never end the process from an extension: return 1 from the entry point instead"};
}

Ending AfterTheCall(Ending ending, const SubjectRun& run, ExtensionLanguage language) {
    if (run.end == SubjectEnd::Hung)
        return {FindingKind::Hangs,
                L"returns, but the process stopped answering after the call returned (a lock or a thread of the "
                L"library left behind)",
                L"leave nothing behind when the call returns: release every lock the call took, and start no "
                L"thread that takes the heap's or another shared lock and keeps it"};
    const DWORD code = UnhandledCode(run).value_or(run.exitCode);
    if ((code != EXCEPTION_ACCESS_VIOLATION && code != HeapCorruption) || UnhandledOnItsOwnThread(run)) {
        ending.what += L" right after the call returned";
        return ending;
    }
    return {FindingKind::HeapDamaged,
            L"damages the process's memory (the process failed with " + DescribeException(code) +
                L" right after the call returned)",
            HeapDamageFix(language)};
}
