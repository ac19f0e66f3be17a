#include "check/ExtensionCheck.h"

#include "check/BehaviourCheck.h"
#include "check/ExportCheck.h"
#include "check/FieldRulesFile.h"
#include "check/LentParams.h"
#include "check/SpeedCheck.h"
#include "check/UnloadCheck.h"

#include "ErrorDescription.h"
#include "HostFailure.h"

#include "util/UniqueModule.h"

namespace {

// How long an extension that kept an IParam is given after its last call to
// call it from a thread of its own, before the check looks.
constexpr ULONGLONG LateCallWait = 100;

void GiveLateCallsTime(ULONGLONG lastCall) {
    const ULONGLONG elapsed = GetTickCount64() - lastCall;
    if (elapsed < LateCallWait) Sleep(static_cast<DWORD>(LateCallWait - elapsed));
}

void AddLateCallFindings(const LentParams& params, const CheckReport& report, std::vector<Finding>& findings) {
    for (const EntryPointReport& entry : report.entryPoints) {
        const std::wstring late = params.FirstLateCall(entry.entryPoint);
        if (late.empty()) continue;
        findings.push_back({FindingKind::ParamKept, ShapeOf(entry.entryPoint).name,
                            L"calls IParam::" + late + L": the host may have released that object by then",
                            L"use the IParam pointer only during the call and on the calling thread; copy what you "
                            L"need from it before returning"});
    }
}

}  // namespace

CheckReport CheckExtension(const CheckOptions& options, IParamTransactor* component) {
    CheckReport report;
    report.library = options.library;
    UniqueModule module(LoadLibraryW(options.library.c_str()));
    if (!module)
        throw BadInput(L"cannot load '" + options.library + L"': " + SystemMessage(HRESULT_FROM_WIN32(GetLastError())));

    LentParams params;
    const std::array<FoundEntryPoint, 3> found = FindEntryPoints(module.Get(), report.findings);
    CheckFieldRulesFile(module.Get(), report);
    std::vector<CycleCall> cycleCalls;
    for (const EntryPointShape& shape : EntryPointShapes()) {
        const FoundEntryPoint& entry = found[static_cast<size_t>(shape.entryPoint)];
        EntryPointReport& entryReport = report.entryPoints.emplace_back();
        entryReport.entryPoint = shape.entryPoint;
        entryReport.exportName = entry.exportName;
        if (!entry.address) continue;
        const TypicalCall typical =
            CheckBehaviour(entry.address, shape, options.highestParamId, params, entryReport, report.findings);
        // A call that always faults has no speed worth telling.
        if (entryReport.faulted < entryReport.calls) {
            entryReport.microsecondsPerCall = TimeEntryPoint(entry.address, shape, typical, params);
            if (component) entryReport.builtInMicrosecondsPerCall = TimeBuiltInPath(*component, shape.entryPoint);
        }
        cycleCalls.push_back({&shape, entry.exportName, typical});
    }
    module.Reset();
    const ULONGLONG lastCall = GetTickCount64();

    if (options.cycles > 0)
        report.unload = CheckUnloads(options.library, cycleCalls, options.cycles, params, report.findings);
    GiveLateCallsTime(lastCall);
    for (EntryPointReport& entry : report.entryPoints) entry.paramMethods = params.MethodsCalled(entry.entryPoint);
    AddLateCallFindings(params, report, report.findings);
    return report;
}
