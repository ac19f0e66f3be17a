#include "check/SubjectChild.h"

#include "check/CallInputs.h"
#include "check/CallObservation.h"
#include "check/ExportCheck.h"
#include "check/LentParams.h"
#include "check/ObservedCall.h"
#include "check/RecordsPipe.h"
#include "check/SubjectProcess.h"
#include "check/SubjectTask.h"
#include "check/SubjectUsage.h"

#include "ErrorDescription.h"
#include "OutputFormat.h"
#include "ProcessUsage.h"
#include "childprocess/EndingNames.h"
#include "outofprocess/HandleArgument.h"
#include "outofprocess/HeapCheck.h"
#include "outofprocess/QuickEnd.h"
#include "outofprocess/StarterWatch.h"
#include "outofprocess/WatchedLoad.h"
#include "util/KernelHandle.h"
#include "util/ModuleFileName.h"

#include <objbase.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

using namespace SubjectRecordKind;

// Straight to the pipe, unbuffered: a record sent is a record the checker has
// even when the process dies at the next instruction.
void Send(const SubjectRecord& record) {
    const std::string line = EncodeRecord(record);
    WriteToChecker(line.data(), line.size());
}

DWORD mainThread;  // the thread that makes the calls

// The last word of a process that the library took down: the exception,
// where it happened and whether on a thread of the library's own, before the
// process ends with its code.
void ReportUnhandled(const EXCEPTION_RECORD& record) noexcept {
    char line[80];
    const int length = wsprintfA(line, "%s\t%lu\t%lu\t%d\n", Unhandled, record.ExceptionCode,
                                 static_cast<unsigned long>(reinterpret_cast<uintptr_t>(record.ExceptionAddress)),
                                 GetCurrentThreadId() != mainThread ? 1 : 0);
    WriteToChecker(line, static_cast<size_t>(length));
}

// "returned" for the call under way, written without touching a heap.
void SendReturned() noexcept {
    static constexpr char Line[] = "returned\n";
    WriteToChecker(Line, sizeof Line - 1);
}

// A library that cannot be loaded: its error (never an empty text), whether
// the file itself could be read as a library (then its own initialisation
// failed), the exception its DllMain raised, if any, and which load of this
// process it was.
UniqueModule LoadSubject(const SubjectTask& task, int load = 1) {
    // "returned" is said the moment the loader returns: a stall from there on is not DllMain's.
    LibraryLoad loaded = LoadLibraryWatched(task.library.c_str(), [&task](HMODULE module) {
        if (module && task.task == L"load") SendReturned();
    });
    if (loaded.module) return std::move(loaded.module);
    const DWORD error = loaded.error;
    const UniqueModule image(LoadLibraryExW(task.library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    std::string message = Utf8FromWide(SystemMessage(HRESULT_FROM_WIN32(error)));
    if (message.find_first_not_of(" \t\r\n.") == std::string::npos) message = "system error " + std::to_string(error);
    // "%1 is not a valid Win32 application": the message names the file.
    const std::string file = Utf8FromWide(task.library);
    for (size_t at = message.find("%1"); at != std::string::npos; at = message.find("%1", at + file.size()))
        message.replace(at, 2, file);
    Send({Measure,
          {"load-failed", message, std::to_string(error), image ? "1" : "0",
           std::to_string(loaded.raised), std::to_string(load)}});
    return {};
}

// LoadLibrary maps a program (.exe) too, without starting it.
bool IsLibraryImage(HMODULE module) {
    const auto* base = reinterpret_cast<const char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return (headers->FileHeader.Characteristics & IMAGE_FILE_DLL) != 0;
}

void ListExports(const SubjectTask& task) {
    Send({Step, {"load"}});
    const UniqueModule module = LoadSubject(task);
    if (!module) return;
    if (!IsLibraryImage(module.Get())) {
        Send({Measure, {"not-dll"}});
        return;
    }
    Send({Measure, {"path", Utf8FromWide(ModuleFileName(module.Get()))}});
    for (const std::string& name : ExportedNames(module.Get())) Send({Export, {name}});
}

FARPROC EntryAddress(HMODULE module, const SubjectTask& task, EntryPoint entryPoint) {
    const std::string& name = task.exports[static_cast<size_t>(entryPoint)];
    return name.empty() ? nullptr : GetProcAddress(module, name.c_str());
}

void SendLateCalls(const LentParams& params) {
    for (const EntryPointShape& shape : EntryPointShapes()) {
        std::string methods;
        for (const std::wstring& method : params.MethodsCalled(shape.entryPoint))
            methods.append(methods.empty() ? "" : ",").append(Utf8FromWide(method));
        Send({Methods, {shape.name, methods}});
        const std::wstring late = params.FirstLateCall(shape.entryPoint);
        if (!late.empty()) Send({Late, {shape.name, Utf8FromWide(late)}});
    }
}

double Seconds(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

void MakePlannedCalls(const SubjectTask& task) {
    const UniqueModule module = LoadSubject(task);
    if (!module) return;
    const std::vector<PlannedCall> plan = PlanCalls(task.exports, task.paramIds, task.editCalls);
    LentParams params;
    for (size_t index = task.from; index < plan.size(); ++index) {
        const PlannedCall& planned = plan[index];
        const EntryPointShape& shape = ShapeOf(planned.entryPoint);
        CommandLineParam& param = params.Lend(planned.entryPoint, planned.paramId);
        const PreparedCall prepared(shape, CasesFor(planned.entryPoint)[planned.caseIndex], planned.paramId, &param);
        Send({Call, {std::to_string(index)}});
        const LARGE_INTEGER start = Now();
        const ObservedCall call = CallObserved(EntryAddress(module.Get(), task, planned.entryPoint), shape,
                                               prepared.Arguments(), SendReturned);
        const double microseconds = Seconds(start) * 1e6;
        params.Returned(param);
        Send(ObservationRecord({index, call.probe, call.outputs, microseconds}));
        if (!HeapsAreSound()) {
            Send({HeapDamaged, {std::to_string(index)}});
            return;
        }
    }
    Send({Step, {"late", std::to_string(task.lateMs)}});
    Sleep(static_cast<DWORD>(std::max(task.lateMs, 0)));
    SendLateCalls(params);
}

// One prepared call of an entry point on its typical input, with the
// buffers and parameter object it needs, to be made over and over.
class RepeatedCall {
public:
    RepeatedCall(const SubjectTask& task, EntryPoint entryPoint, LentParams& params)
        : FShape(ShapeOf(entryPoint)),
          FExport(task.exports[static_cast<size_t>(entryPoint)]),
          FParam(params.Lend(entryPoint, task.typical[static_cast<size_t>(entryPoint)].paramId)),
          FPrepared(FShape, CasesFor(entryPoint)[task.typical[static_cast<size_t>(entryPoint)].caseIndex],
                    task.typical[static_cast<size_t>(entryPoint)].paramId, &FParam),
          FArguments(FPrepared.Arguments()),
          FOutputs(static_cast<size_t>(FShape.outputCount)) {
        FParam.PauseNotes(true);
        for (size_t i = 0; i < FOutputs.size(); ++i)
            FArguments[static_cast<size_t>(FShape.outputs[i].pointer)] = FOutputs[i].Slot();
    }

    void Run(HMODULE module) const {
        if (const FARPROC entry = GetProcAddress(module, FExport.c_str())) CallProbed(entry, FArguments);
    }
    const char* Name() const { return FShape.name; }

private:
    const EntryPointShape& FShape;
    std::string FExport;
    CommandLineParam& FParam;
    PreparedCall FPrepared;
    std::vector<uint32_t> FArguments;
    std::vector<LentOutput> FOutputs;
};

// The entry points a repeated task calls: Explain and Obscure, never Edit,
// which may open a window.
std::vector<std::unique_ptr<RepeatedCall>> RepeatedCalls(const SubjectTask& task, LentParams& params) {
    std::vector<std::unique_ptr<RepeatedCall>> calls;
    for (const EntryPoint entryPoint : {EntryPoint::Explain, EntryPoint::Obscure})
        if (!task.exports[static_cast<size_t>(entryPoint)].empty())
            calls.push_back(std::make_unique<RepeatedCall>(task, entryPoint, params));
    return calls;
}

// Medians of 9 rounds; a round lasts about 20 ms, and at least one call.
void TimeCalls(const SubjectTask& task) {
    const UniqueModule module = LoadSubject(task);
    if (!module) return;
    LentParams params;
    for (const auto& call : RepeatedCalls(task, params)) {
        const LARGE_INTEGER first = Now();
        call->Run(module.Get());
        const double once = std::max(Seconds(first), 1e-7);
        const int perRound = std::clamp(static_cast<int>(0.02 / once), 1, 500);
        std::vector<double> rounds;
        for (int round = 0; round < 9; ++round) {
            const LARGE_INTEGER start = Now();
            for (int i = 0; i < perRound; ++i) call->Run(module.Get());
            rounds.push_back(Seconds(start) * 1e6 / perRound);
        }
        std::ranges::nth_element(rounds, rounds.begin() + 4);
        Send({Measure, {"speed", call->Name(), std::to_string(rounds[4])}});
    }
}

SubjectRecord UsageRecord(const char* name, const char* entry, long long done, const SubjectUsage& before,
                          const SubjectUsage& after) {
    return {Measure,
            {name, entry, std::to_string(done), std::to_string(after.heapBytes - before.heapBytes),
             std::to_string(after.reservedBytes - before.reservedBytes),
             std::to_string(after.committedBytes - before.committedBytes),
             std::to_string(after.handles - before.handles), std::to_string(after.threads - before.threads),
             std::to_string(before.freeTlsSlots - after.freeTlsSlots), std::to_string(after.freeTlsSlots),
             std::to_string(after.reservedBytes), std::to_string(after.handles)}};
}

// Each entry point on its own: warm-up calls, then --count calls (fewer when
// they take more than 2 s) between two measures.
void MeasurePerCall(const SubjectTask& task) {
    const UniqueModule module = LoadSubject(task);
    if (!module) return;
    LentParams params;
    for (const auto& call : RepeatedCalls(task, params)) {
        for (int i = 0; i < 8; ++i) call->Run(module.Get());
        const SubjectUsage before = MeasureSubjectUsage();
        const LARGE_INTEGER start = Now();
        int done = 0;
        while (done < task.count && (done < 8 || Seconds(start) < 2.0)) {
            call->Run(module.Get());
            ++done;
        }
        Send(UsageRecord("per-call", call->Name(), done, before, MeasureSubjectUsage()));
    }
}

// Loads (the `load`th time in this process), calls and frees; false when the
// library would not load, which its record tells.
bool LoadCallFree(const SubjectTask& task, const std::vector<std::unique_ptr<RepeatedCall>>& calls, int load) {
    const UniqueModule module = LoadSubject(task, load);
    if (!module) return false;
    for (const auto& call : calls) call->Run(module.Get());
    return true;
}

void CycleLoads(const SubjectTask& task) {
    constexpr int WarmUpCycles = 3, SlotsToKeep = 64, CyclesPerLook = 25;
    LentParams params;
    const auto calls = RepeatedCalls(task, params);
    int loads = 0;
    for (int i = 0; i < WarmUpCycles; ++i) {
        if (!LoadCallFree(task, calls, ++loads)) return;
        // The first load worked: a stall from here on is the cycles', not a load that never returns.
        if (i == 0) Send({Step, {"cycle", "0"}});
    }
    const SubjectUsage before = MeasureSubjectUsage();
    int cycles = 0;
    while (cycles < task.count) {
        if (!LoadCallFree(task, calls, ++loads)) return;
        ++cycles;
        if (cycles % CyclesPerLook != 0) continue;
        Send({Step, {"cycle", std::to_string(cycles)}});
        if (CountFreeTlsSlots() < SlotsToKeep) break;
    }
    Send(UsageRecord("unload", "", cycles, before, MeasureSubjectUsage()));
}

// The child ends with the checker that started it, whatever the library is
// doing; without the checker's handle it runs on unwatched.
void WatchTheChecker(const std::vector<std::wstring>& arguments, StarterWatch& watch) {
    const auto option = std::ranges::find(arguments, StarterOption);
    if (option == arguments.end() || option + 1 == arguments.end()) return;
    const UniqueKernelHandle checker(HandleFromArgument((option + 1)->c_str()));
    // No load limit here: the checker has its own.
    if (checker) watch.Start(checker.Get(), {StarterEndedExitCode, StarterEndedExitCode});
}

void RunTask(const SubjectTask& task) {
    if (task.task == L"load") ListExports(task);
    if (task.task == L"calls") MakePlannedCalls(task);
    if (task.task == L"speed") TimeCalls(task);
    if (task.task == L"per-call") MeasurePerCall(task);
    if (task.task == L"unload") CycleLoads(task);
}

}  // namespace

bool IsSubjectChildCommand(const std::vector<std::wstring>& arguments) {
    return !arguments.empty() && arguments[0] == L"check-subject";
}

int RunSubjectChild(const std::vector<std::wstring>& arguments) {
    TakeRecordsPipe();
    mainThread = GetCurrentThreadId();
    EndQuicklyOnFailure(ReportUnhandled);
    StarterWatch watch;
    WatchTheChecker(arguments, watch);
    // The host's thread is in a single-threaded apartment (left with the process).
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RunTask(ParseTaskArguments(std::vector<std::wstring>(arguments.begin() + 1, arguments.end())));
    Send({End, {}});
    // Nothing of the library runs after its task: no unload, no exit handlers.
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}
