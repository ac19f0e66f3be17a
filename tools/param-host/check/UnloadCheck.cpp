#include "check/UnloadCheck.h"

#include "check/CallInputs.h"
#include "check/ProbedCall.h"

#include "ProcessUsage.h"
#include "util/UniqueModule.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <memory>
#include <optional>

namespace {

constexpr int WarmUpCycles = 3;         // lazily loaded system modules and caches settle
constexpr int CyclesPerSlotCheck = 50;  // how often the free TLS slots are looked at
constexpr int SlotsToKeep = 64;         // the cycles stop before this process runs out of them

// What may grow over all cycles without being a leak (a C++ library with its
// runtime linked in takes a slot, 2 handles and about 19 KB at every cycle).
constexpr int TlsSlotLossBound = 2;
constexpr long HandleGrowthBound = 4;
constexpr long long HeapGrowthBound = 16 * 1024;

// What a 32-bit process runs out of, and how much of it there is.
constexpr long long HandleLimit = 1ll << 24;
constexpr long long AddressSpace = 2ll << 30;

// One prepared call, with buffers and parameter object lent for every cycle.
class CycleCallPrepared {
public:
    CycleCallPrepared(const CycleCall& call, LentParams& params)
        : FCall(call),
          FParam(params.Lend(call.shape->entryPoint, call.typical.paramId)),
          FPrepared(*call.shape, CasesFor(call.shape->entryPoint)[call.typical.caseIndex], call.typical.paramId,
                    &FParam),
          FArguments(FPrepared.Arguments()),
          FOutputs(static_cast<size_t>(call.shape->outputCount)) {
        FParam.PauseNotes(true);
        for (size_t i = 0; i < FOutputs.size(); ++i)
            FArguments[static_cast<size_t>(call.shape->outputs[i].pointer)] = FOutputs[i].Slot();
    }

    void Run(HMODULE module) const {
        if (const FARPROC entry = GetProcAddress(module, FCall.exportName.c_str())) CallProbed(entry, FArguments);
    }

private:
    const CycleCall& FCall;
    CommandLineParam& FParam;
    PreparedCall FPrepared;
    std::vector<uint32_t> FArguments;
    std::vector<LentOutput> FOutputs;
};

// Loads, calls and frees; false when the library would not load.
bool RunCycle(const std::wstring& library, const std::vector<std::unique_ptr<CycleCallPrepared>>& calls) {
    UniqueModule module(LoadLibraryW(library.c_str()));
    if (!module) return false;
    for (const auto& call : calls) call->Run(module.Get());
    return true;
}

struct Projection {
    long long loads;
    const wchar_t* exhausted;
};

// The loads left before the first resource that grows runs out.
std::optional<Projection> Project(const UnloadReport& report, int freeSlots, const ProcessUsage& usage) {
    std::optional<Projection> first;
    const auto consider = [&](double perCycle, long long left, const wchar_t* what) {
        if (perCycle <= 0) return;
        const auto loads = static_cast<long long>(static_cast<double>(std::max(0ll, left)) / perCycle);
        if (!first || loads < first->loads) first = Projection{loads, what};
    };
    const double cycles = report.cycles;
    if (report.tlsSlotsLost > TlsSlotLossBound)
        consider(report.tlsSlotsLost / cycles, freeSlots, L"thread-local storage slots");
    if (report.handlesGained > HandleGrowthBound)
        consider(report.handlesGained / cycles, HandleLimit - static_cast<long long>(usage.handles), L"handles");
    if (report.heapBytesGained > HeapGrowthBound)
        consider(static_cast<double>(report.heapBytesGained) / cycles,
                 AddressSpace - static_cast<long long>(usage.heapBytes), L"address space for the heap");
    return first;
}

// "thread-local storage slots 1", "handles 0.5".
std::wstring PerCycle(const wchar_t* what, double amount) {
    wchar_t text[64];
    std::swprintf(text, 64, amount == static_cast<long long>(amount) ? L"%ls %.0f" : L"%ls %.1f", what, amount);
    return text;
}

Finding LeakFinding(const UnloadReport& report) {
    const double cycles = report.cycles;
    std::wstring reason = L"leaks at every unload: per load and free, " +
                          PerCycle(L"thread-local storage slots", report.tlsSlotsLost / cycles) + L", " +
                          PerCycle(L"handles", report.handlesGained / cycles) + L", " +
                          PerCycle(L"heap bytes", std::round(static_cast<double>(report.heapBytesGained) / cycles)) +
                          L" (" + std::to_wstring(report.cycles) + L" cycles)";
    if (report.projectedLoads)
        reason += L"; the host process fails after about " + std::to_wstring(*report.projectedLoads) +
                  L" more loads (" + report.exhausted + L" run out)";
    return {FindingKind::LeaksPerUnload, "", reason,
            L"write it in C (it then needs only msvcrt.dll), or keep it loaded: in DllMain on DLL_PROCESS_ATTACH call "
            L"GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN, ...) on its "
            L"own address"};
}

}  // namespace

UnloadReport CheckUnloads(const std::wstring& library, const std::vector<CycleCall>& calls, int cycles,
                          LentParams& params, std::vector<Finding>& findings) {
    std::vector<std::unique_ptr<CycleCallPrepared>> prepared;
    for (const CycleCall& call : calls) prepared.push_back(std::make_unique<CycleCallPrepared>(call, params));

    UnloadReport report;
    for (int i = 0; i < WarmUpCycles; ++i) RunCycle(library, prepared);
    const int freeSlotsBefore = CountFreeTlsSlots();
    const ProcessUsage before = CurrentProcessUsage();
    int freeSlots = freeSlotsBefore;
    while (report.cycles < cycles && RunCycle(library, prepared)) {
        ++report.cycles;
        if (report.cycles % CyclesPerSlotCheck != 0) continue;
        freeSlots = CountFreeTlsSlots();
        if (freeSlots < SlotsToKeep) break;
    }
    report.stoppedEarly = report.cycles < cycles;
    freeSlots = CountFreeTlsSlots();
    const ProcessUsage after = CurrentProcessUsage();
    report.tlsSlotsLost = freeSlotsBefore - freeSlots;
    report.handlesGained = static_cast<long>(after.handles) - static_cast<long>(before.handles);
    report.heapBytesGained = static_cast<long long>(after.heapBytes) - static_cast<long long>(before.heapBytes);
    if (report.cycles == 0) return report;
    const std::optional<Projection> projection = Project(report, freeSlots, after);
    report.leaks = projection.has_value();
    if (projection) {
        report.projectedLoads = projection->loads;
        report.exhausted = projection->exhausted;
        findings.push_back(LeakFinding(report));
    }
    return report;
}
