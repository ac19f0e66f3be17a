#include "check/ExtensionCheck.h"

#include "check/BehaviourCheck.h"
#include "check/ByteText.h"
#include "check/CheckSession.h"
#include "check/ExportCheck.h"
#include "check/FieldRulesFile.h"
#include "check/LeakCheck.h"
#include "check/ProbedCall.h"
#include "check/SpeedCheck.h"
#include "check/SubjectEnding.h"
#include "check/TextEncoding.h"

#include "HostFailure.h"

#include <algorithm>
#include <optional>

namespace {

using namespace SubjectRecordKind;

constexpr int EditCalls = 3;                // EditParam may open a window: a few calls only
constexpr int EndingsBeforeSkipping = 3;    // calls of an entry point that end the process before the rest is skipped
constexpr int RepeatedCallCount = 256;      // calls between the two measures of what calls leave behind

SubjectTask BaseTask(const std::wstring& library, const std::wstring& name) {
    SubjectTask task;
    task.task = name;
    task.library = library;
    return task;
}

// "2nd", "3rd", "11th".
std::wstring Ordinal(int number) {
    const int lastTwo = number % 100, last = number % 10;
    const wchar_t* suffix = lastTwo >= 11 && lastTwo <= 13 ? L"th"
                            : last == 1                    ? L"st"
                            : last == 2                    ? L"nd"
                            : last == 3                    ? L"rd"
                                                           : L"th";
    return std::to_wstring(number) + suffix;
}

const SubjectRecord* LoadFailedRecord(const SubjectRun& run) {
    for (const SubjectRecord& record : run.records)
        if (record.kind == Measure && record.Field(0) == "load-failed") return &record;
    return nullptr;
}

// A library file the loader could read whose initialisation (DllMain)
// raised an exception, faulted or returned FALSE.
bool FailsInItsInitialisation(const SubjectRecord& loadFailed) {
    const auto error = static_cast<DWORD>(loadFailed.Number(2));
    const bool readable = loadFailed.Field(3) == "1";
    return readable && (error == ERROR_NOACCESS || error == ERROR_DLL_INIT_FAILED || loadFailed.Number(4) != 0);
}

// Why the initialisation failed, as the finding says it.
std::wstring InitialisationFailure(const SubjectRecord& loadFailed) {
    const auto raised = static_cast<DWORD>(loadFailed.Number(4));
    if (raised) return L"its DllMain raised " + DescribeException(raised) + L", which the loader caught";
    const bool faulted = static_cast<DWORD>(loadFailed.Number(2)) == ERROR_NOACCESS;
    return std::wstring(faulted ? L"its DllMain faulted (" : L"its DllMain returned FALSE (") +
           ReadAsUtf8(loadFailed.Field(1)) + L")";
}

// A load that failed in a child after the first load worked.
Finding LoadFailedAgain(const SubjectRecord& loadFailed, int load) {
    return {FindingKind::LoadFails, "",
            L"failed to load at its " + Ordinal(load) + L" load: " + InitialisationFailure(loadFailed) +
                L"; the host loads it again after every unload",
            L"make DllMain do the same at every load, nothing but what cannot fail, and return TRUE"};
}

// The load child said that LoadLibrary returned.
bool LoadReturned(const SubjectRun& run) {
    return std::ranges::any_of(run.records, [](const SubjectRecord& record) { return record.kind == Returned; });
}

struct LoadedSubject {
    std::vector<std::string> exports;
    std::wstring path;  // as the loader found it
};

// Lists the exports; a library that cannot be loaded is bad input, one whose
// loading ends the process is a finding.
std::optional<LoadedSubject> LoadSubject(CheckSession& session, const std::wstring& library,
                                         ExtensionLanguage& language, CheckReport& report) {
    const SubjectRun run = session.Run(BaseTask(library, L"load"), L"loading");
    LoadedSubject loaded{{}, library};
    for (const SubjectRecord& record : run.records) {
        if (record.kind == Measure && record.Field(0) == "load-failed") {
            if (!FailsInItsInitialisation(record))
                throw BadInput(L"cannot load '" + library + L"': " + ReadAsUtf8(record.Field(1)));
            report.findings.push_back({FindingKind::LoadFails, "",
                                       L"cannot be loaded: " + InitialisationFailure(record) +
                                           L"; the host cannot use it",
                                       L"do nothing in DllMain but what cannot fail, and return TRUE"});
            return std::nullopt;
        }
        if (record.kind == Measure && record.Field(0) == "not-dll")
            throw BadInput(L"cannot check '" + library + L"': it is not a DLL but a program; give the extension "
                           L"library (.dll) that the host loads");
        if (record.kind == Measure && record.Field(0) == "path") loaded.path = ReadAsUtf8(record.Field(1));
        if (record.kind == Export) loaded.exports.push_back(record.Field(0));
    }
    language = LanguageOf(loaded.path);
    if (run.end == SubjectEnd::Finished) return loaded;
    if (run.end == SubjectEnd::Hung && LoadReturned(run))
        report.findings.push_back(
            {FindingKind::Hangs, "",
             L"loads, but the process stopped answering after DllMain returned (a lock or a thread of the library "
             L"left behind)",
             L"leave nothing behind when DllMain returns: release every lock it took, and start no thread that "
             L"takes the heap's or another shared lock and keeps it"});
    else if (run.end != SubjectEnd::OutOfTime) {
        const Ending ending = DescribeEnding(run, language);
        report.findings.push_back({ending.kind, "", L"loading the library " + ending.what,
                                   L"do nothing in DllMain but what cannot fail; " + ending.fix});
    }
    return std::nullopt;
}

void AddMethods(EntryPointReport& entry, const std::string& methods) {
    for (size_t start = 0; start < methods.size();) {
        const size_t comma = std::min(methods.find(',', start), methods.size());
        const std::wstring method = ReadAsUtf8(methods.substr(start, comma - start));
        if (std::ranges::find(entry.paramMethods, method) == entry.paramMethods.end())
            entry.paramMethods.push_back(method);
        start = comma + 1;
    }
}

EntryPointReport& EntryReport(CheckReport& report, const std::string& name) {
    for (EntryPointReport& entry : report.entryPoints)
        if (name == ShapeOf(entry.entryPoint).name) return entry;
    return report.entryPoints.front();
}

// The first call of the plan after `index` that is of another entry point.
size_t NextEntryPoint(const std::vector<PlannedCall>& plan, size_t index) {
    size_t next = index + 1;
    while (next < plan.size() && plan[next].entryPoint == plan[index].entryPoint) ++next;
    return next;
}

// A later child's load went wrong: a load failed (the child's first is the
// session's `load`th; the load and free cycles load again and again), or the
// child ended before its first record. Adds the finding; false when the
// loads worked.
bool LoadWentWrong(const SubjectRun& run, int load, ExtensionLanguage language, CheckReport& report) {
    if (const SubjectRecord* failed = LoadFailedRecord(run)) {
        const int inThisChild = std::max(static_cast<int>(failed->Number(5)), 1);
        report.findings.push_back(LoadFailedAgain(*failed, load + inThisChild - 1));
        return true;
    }
    if (!run.records.empty() || (run.end != SubjectEnd::Died && run.end != SubjectEnd::Hung)) return false;
    const Ending ending = DescribeEnding(run, language);
    report.findings.push_back({ending.kind, "", L"at its " + Ordinal(load) + L" load, loading the library " + ending.what,
                               L"do nothing in DllMain but what cannot fail, the same at every load; " + ending.fix});
    return true;
}

// Why a child made none of the calls it was to make (from `from` on): it
// ended or stalled before the first, or it said it had finished without
// them, which only a record the library wrote itself can make it say.
struct CallsStop {
    const char* kind;
    std::wstring why;
};

CallsStop StoppedBeforeItsCalls(const SubjectRun& run, ExtensionLanguage language) {
    if (run.end == SubjectEnd::Finished)
        return {FindingKind::ProcessEnded,
                L"the process that makes them reported its calls done before making them (something in the "
                L"library wrote to the checker's pipe)"};
    if (run.end == SubjectEnd::Hung)
        return {FindingKind::Hangs, L"the process that makes them stopped answering before the first"};
    return {FindingKind::ProcessEnded,
            L"before the first, the library " + DescribeEnding(run, language).what};
}

// Makes the planned calls, in as many children as the library takes down.
// Returns why the calls stopped, for entry points that got none of theirs;
// nothing where a finding or note already tells it.
std::optional<CallsStop> MakePlannedCalls(CheckSession& session, const SubjectTask& base, BehaviourJudge& judge,
                                          ExtensionLanguage language, CheckReport& report) {
    const std::vector<PlannedCall>& plan = judge.Plan();
    const DWORD silence = SilenceLimitMs + static_cast<DWORD>(std::max(base.lateMs, 0));
    int threadEndings = 0;
    for (size_t from = 0; from < plan.size();) {
        SubjectTask task = base;
        task.from = from;
        const SubjectRun run = session.Run(task, L"calls with the host's inputs", silence);
        if (LoadWentWrong(run, session.Loads(), language, report)) return std::nullopt;
        std::optional<size_t> current;
        bool returned = false, heapDamaged = false;
        for (const SubjectRecord& record : run.records) {
            if (record.kind == Call) {
                current = static_cast<size_t>(record.Number(0));
                returned = false;
            } else if (record.kind == Returned) {
                returned = true;
            } else if (record.kind == Observed) {
                judge.Observed(ReadObservation(record));
                returned = true;
            } else if (record.kind == HeapDamaged) {
                heapDamaged = true;
                current = static_cast<size_t>(record.Number(0));
                judge.Ended(*current, FindingKind::HeapDamaged,
                            L"damages the heap (a heap failed its validation right after the call)",
                            HeapDamageFix(language));
            } else if (record.kind == Methods) {
                AddMethods(EntryReport(report, record.Field(0)), record.Field(1));
            } else if (record.kind == Late) {
                report.findings.push_back(
                    {FindingKind::ParamKept, record.Field(0),
                     L"calls IParam::" + ReadAsUtf8(record.Field(1)) +
                         L": the host may have released that object by then",
                     L"use the IParam pointer only during the call and on the calling thread; copy what you "
                     L"need from it before returning"});
            }
        }
        // A child that found its heap damaged stops there; the calls go on in a new one.
        const bool stopped = run.end == SubjectEnd::Finished && !heapDamaged;
        if (run.end == SubjectEnd::OutOfTime) return std::nullopt;
        if (stopped || !current) return StoppedBeforeItsCalls(run, language);
        if (!heapDamaged && UnhandledOnItsOwnThread(run)) {
            // Not the call under way: a thread the library started earlier.
            if (++threadEndings == 1) {
                const Ending ending = DescribeEnding(run, language);
                const std::wstring what = ending.what.substr(0, ending.what.find(L", raised"));
                report.findings.push_back({ending.kind, "",
                                           L"a thread the library started " + what +
                                               L" during the calls with the host's inputs",
                                           ending.fix});
            }
            from = returned || threadEndings >= EndingsBeforeSkipping ? *current + 1 : *current;
            continue;
        }
        if (!heapDamaged) {
            Ending ending = DescribeEnding(run, language);
            if (returned) ending = AfterTheCall(ending, run, language);
            judge.Ended(*current, ending.kind, ending.what, ending.fix);
        }
        const EntryPoint entryPoint = plan[*current].entryPoint;
        from = judge.EndedCalls(entryPoint) >= EndingsBeforeSkipping ? NextEntryPoint(plan, *current) : *current + 1;
        if (from > *current + 1)
            report.notes.push_back(WideAscii(ShapeOf(entryPoint).name) + L": after " +
                                   std::to_wstring(EndingsBeforeSkipping) +
                                   L" calls that took the process down its remaining calls were skipped");
    }
    return CallsStop{FindingKind::ProcessEnded, L"the process that makes them ended before the first"};
}

// An entry point that got none of its planned calls is never clean: the
// counts "0 calls" would otherwise read as a library that did nothing wrong.
void ReportUncalled(const std::vector<PlannedCall>& plan, const CallsStop& stop, CheckReport& report) {
    for (const EntryPointReport& entry : report.entryPoints) {
        const auto planned =
            std::ranges::count_if(plan, [&](const PlannedCall& call) { return call.entryPoint == entry.entryPoint; });
        if (planned == 0 || entry.calls > 0) continue;
        report.findings.push_back({stop.kind, ShapeOf(entry.entryPoint).name,
                                   L"none of its " + std::to_wstring(planned) + L" planned calls was made: " +
                                       stop.why,
                                   L"never end the process from an extension, in DllMain or in a call, and write only "
                                   L"to handles you opened yourself: return from every call instead"});
    }
}

// The entry points the repeated tasks call, on their typical input: Explain
// and Obscure when some of their calls completed; never Edit.
SubjectTask RepeatTask(const std::wstring& library, const std::wstring& name, const EntryExports& exports,
                       const BehaviourJudge& judge, const CheckReport& report, int32_t firstId) {
    SubjectTask task = BaseTask(library, name);
    for (const EntryPoint entryPoint : {EntryPoint::Explain, EntryPoint::Obscure}) {
        const EntryPointReport& entry = report.entryPoints[static_cast<size_t>(entryPoint)];
        if (entry.calls == entry.faulted) continue;
        task.exports[static_cast<size_t>(entryPoint)] = exports[static_cast<size_t>(entryPoint)];
        task.typical[static_cast<size_t>(entryPoint)] = judge.Typical(entryPoint, firstId);
    }
    return task;
}

bool CallsAny(const SubjectTask& task) {
    return std::ranges::any_of(task.exports, [](const std::string& name) { return !name.empty(); });
}

// A repeated task that the library took down: a finding for the library. A
// repeated task's child says something only now and then (the load and free
// cycles every 25 cycles), so a silent one is not one call that hangs.
bool Survived(const SubjectRun& run, int load, const std::wstring& activity, ExtensionLanguage language,
              CheckReport& report) {
    if (LoadWentWrong(run, load, language, report)) return false;
    if (run.end == SubjectEnd::Finished || run.end == SubjectEnd::OutOfTime || run.records.empty()) return true;
    if (run.end == SubjectEnd::Hung) {
        report.findings.push_back(
            {FindingKind::Hangs, "",
             L"in " + activity + L", the process stopped answering for " + std::to_wstring(SilenceLimitMs / 1000) +
                 L" s (a lock or a thread the library left behind, or a load, call or free taking over " +
                 std::to_wstring(SilenceLimitMs / 25) + L" ms)",
             L"leave nothing behind when a call or DllMain returns: release every lock, end at DLL_PROCESS_DETACH "
             L"every thread you started, and keep DllMain and every call short"});
        return false;
    }
    const Ending ending = DescribeEnding(run, language);
    report.findings.push_back({ending.kind, "", L"in " + activity + L", the library " + ending.what, ending.fix});
    return false;
}

void MeasureRepeatedCalls(CheckSession& session, const SubjectTask& repeat, IParamTransactor* component,
                          ExtensionLanguage language, CheckReport& report) {
    SubjectTask speed = repeat;
    speed.task = L"speed";
    const SubjectRun timed = session.Run(speed, L"speed measurement");
    Survived(timed, session.Loads(), L"the speed measurement", language, report);
    for (const SubjectRecord& record : timed.records) {
        if (record.kind != Measure || record.Field(0) != "speed") continue;
        EntryPointReport& entry = EntryReport(report, record.Field(1));
        entry.microsecondsPerCall = std::strtod(record.Field(2).c_str(), nullptr);
        if (component) entry.builtInMicrosecondsPerCall = TimeBuiltInPath(*component, entry.entryPoint);
    }
    SubjectTask perCall = repeat;
    perCall.task = L"per-call";
    perCall.count = RepeatedCallCount;
    const SubjectRun measured = session.Run(perCall, L"measurement of what calls leave behind");
    Survived(measured, session.Loads(), L"the repeated calls", language, report);
    for (const SubjectRecord& record : measured.records)
        if (record.kind == Measure && record.Field(0) == "per-call")
            JudgePerCall(record, language, EntryReport(report, record.Field(1)), report.findings);
}

void CycleLoads(CheckSession& session, SubjectTask unload, int cycles, ExtensionLanguage language,
                CheckReport& report) {
    unload.task = L"unload";
    unload.count = cycles;
    const SubjectRun run = session.Run(unload, L"load and free cycles");
    Survived(run, session.Loads(), L"the load and free cycles", language, report);
    for (const SubjectRecord& record : run.records)
        if (record.kind == Measure && record.Field(0) == "unload") {
            report.unload = JudgeUnloads(record, language, report.findings);
            report.unload->stoppedEarly = report.unload->cycles < cycles;
        }
}

}  // namespace

std::vector<int32_t> DefaultParamIds() {
    std::vector<int32_t> ids;
    for (int32_t id = 0; id <= 15; ++id) ids.push_back(id);
    return ids;
}

CheckReport CheckExtension(const CheckOptions& options, IParamTransactor* component) {
    CheckReport report;
    report.library = options.library;
    const std::wstring& library = options.library;
    const std::vector<int32_t> ids = options.paramIds.empty() ? DefaultParamIds() : options.paramIds;
    CheckSession session(options, report);

    ExtensionLanguage language = ExtensionLanguage::Unknown;
    const std::optional<LoadedSubject> loaded = LoadSubject(session, library, language, report);
    if (!loaded) return report;
    const std::array<FoundEntryPoint, 3> found =
        FindEntryPoints(loaded->exports, report.findings, report.unusedExports);
    CheckFieldRulesFile(loaded->path, report);

    SubjectTask calls = BaseTask(library, L"calls");
    for (const EntryPointShape& shape : EntryPointShapes()) {
        EntryPointReport& entry = report.entryPoints.emplace_back();
        entry.entryPoint = shape.entryPoint;
        entry.exportName = found[static_cast<size_t>(shape.entryPoint)].exportName;
        calls.exports[static_cast<size_t>(shape.entryPoint)] = entry.exportName;
    }
    const bool editExported = !calls.exports[static_cast<size_t>(EntryPoint::Edit)].empty();
    if (editExported && !options.edit)
        report.notes.push_back(L"EditParam was not called: it may open a window on the host's screen; pass --edit to "
                               L"call it " + std::to_wstring(EditCalls) + L" times");
    calls.paramIds = ids;
    calls.editCalls = options.edit ? EditCalls : 0;
    calls.lateMs = options.lateMs;
    BehaviourJudge judge(PlanCalls(calls.exports, ids, calls.editCalls), language);
    const std::optional<CallsStop> stop = MakePlannedCalls(session, calls, judge, language, report);
    for (EntryPointReport& entry : report.entryPoints)
        if (!entry.exportName.empty()) judge.Report(entry, ids, report);
    if (stop) ReportUncalled(judge.Plan(), *stop, report);

    const SubjectTask repeat = RepeatTask(library, L"", calls.exports, judge, report, ids.front());
    if (CallsAny(repeat)) MeasureRepeatedCalls(session, repeat, component, language, report);
    // Where the budget ran out before the speed was measured, the calls made tell it.
    for (EntryPointReport& entry : report.entryPoints) {
        if (entry.entryPoint == EntryPoint::Edit) continue;
        if (!entry.microsecondsPerCall) entry.microsecondsPerCall = judge.MedianMicroseconds(entry.entryPoint);
        JudgeSpeed(entry, report.findings);
    }
    if (options.cycles > 0) CycleLoads(session, repeat, options.cycles, language, report);
    return report;
}
