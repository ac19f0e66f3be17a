#include "check/LentParams.h"

#include <algorithm>

namespace {

std::wstring MethodName(const std::wstring& call) { return call.substr(0, call.find(L'(')); }

}  // namespace

CommandLineParam& LentParams::Lend(EntryPoint entryPoint, int32_t paramId) {
    ParamSettings settings;
    settings.paramId = paramId;
    Lent& lent = FLent.emplace_back(Lent{new CommandLineParam(std::move(settings)), entryPoint, 0});
    return *lent.param.Get();
}

void LentParams::Returned(const CommandLineParam& param) {
    for (Lent& lent : FLent)
        if (lent.param.Get() == &param) lent.callsAtReturn = param.CallCount();
}

std::vector<std::wstring> LentParams::MethodsCalled(EntryPoint entryPoint) const {
    std::vector<std::wstring> methods;
    for (const Lent& lent : FLent) {
        if (lent.entryPoint != entryPoint) continue;
        const std::vector<std::wstring> calls = lent.param->Calls();
        for (size_t i = 0; i < std::min(lent.callsAtReturn, calls.size()); ++i)
            if (std::ranges::find(methods, MethodName(calls[i])) == methods.end())
                methods.push_back(MethodName(calls[i]));
    }
    return methods;
}

std::wstring LentParams::FirstLateCall(EntryPoint entryPoint) const {
    for (const Lent& lent : FLent) {
        if (lent.entryPoint != entryPoint) continue;
        const std::vector<std::wstring> calls = lent.param->Calls();
        const std::vector<std::wstring> foreign = lent.param->CallsFromOtherThreads();
        const std::wstring thread = foreign.empty() ? L"" : L", from another thread";
        if (calls.size() > lent.callsAtReturn)
            return MethodName(calls[lent.callsAtReturn]) + L" after the call had returned" + thread;
        if (!foreign.empty()) return MethodName(foreign.front()) + L" from another thread during the call";
    }
    return {};
}
