#include "check/LeakCheck.h"

#include "check/SubjectUsage.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <optional>

namespace {

// The fields of a measure record (SubjectChild.cpp).
struct Measured {
    long long done, heapBytes, reservedBytes, committedBytes, handles, threads, tlsSlotsLost, freeTlsSlots,
        reservedTotal, handlesTotal;
};

Measured ReadMeasure(const SubjectRecord& record) {
    return {record.Number(2), record.Number(3), record.Number(4),  record.Number(5),  record.Number(6),
            record.Number(7), record.Number(8), record.Number(9), record.Number(10), record.Number(11)};
}

constexpr long long HeapBytesPerCallLimit = 16;
constexpr long long AddressBytesPerCallLimit = 4096;
constexpr long long AddressBytesPerLoadLimit = 64 * 1024;
constexpr int TlsSlotLossBound = 2;
constexpr long HandleGrowthBound = 4;
constexpr long ThreadGrowthBound = 2;
constexpr long long HeapGrowthBound = 16 * 1024;
constexpr long long HandleLimit = 1ll << 24;
constexpr long long ThreadLimit = 2000;  // 1 MiB of stack each in 2 GiB
constexpr double CallsPerSecond = 100;    // a host explaining a frame of parameters, several times a second

std::wstring Amount(double amount) {
    wchar_t text[32];
    std::swprintf(text, 32, amount == std::floor(amount) ? L"%.0f" : L"%.1f", amount);
    return text;
}

struct Projection {
    long long count;
    const wchar_t* exhausted;
};

// The first of the resources that grow to run out, at `perUnit` a unit.
class Projector {
public:
    void Consider(double perUnit, long long left, const wchar_t* what) {
        if (perUnit <= 0) return;
        const auto count = static_cast<long long>(static_cast<double>(std::max(0ll, left)) / perUnit);
        if (!FFirst || count < FFirst->count) FFirst = Projection{count, what};
    }
    const std::optional<Projection>& First() const { return FFirst; }

private:
    std::optional<Projection> FFirst;
};

std::wstring LeakFix(ExtensionLanguage language, bool perLoad) {
    const std::wstring inC =
        perLoad ? L"give back in DllMain at DLL_PROCESS_DETACH what the library took: TlsFree its TLS slots, "
                  L"CloseHandle its handles, free or HeapFree its memory, VirtualFree its reservations, end its threads"
                : L"free in every call what the call allocates (free, HeapFree, VirtualFree, CloseHandle), or "
                  L"allocate once and reuse";
    const std::wstring inCpp =
        perLoad ? L"give back at unload what the library took (destructors of static objects, TlsFree, CloseHandle, "
                  L"VirtualFree, joined threads); a statically linked C++ runtime itself leaves a TLS slot and heap "
                  L"behind: keep the library loaded by pinning it in DllMain on DLL_PROCESS_ATTACH "
                  L"(GetModuleHandleExW with GET_MODULE_HANDLE_EX_FLAG_PIN) or write it in C"
                : L"let every allocation of a call be owned (std::string, std::vector, std::unique_ptr) so that it is "
                  L"freed when the call returns";
    return ForLanguage(language, inC, inCpp);
}

}  // namespace

UnloadReport JudgeUnloads(const SubjectRecord& measure, ExtensionLanguage language, std::vector<Finding>& findings) {
    const Measured m = ReadMeasure(measure);
    UnloadReport report;
    report.cycles = static_cast<int>(m.done);
    report.tlsSlotsLost = static_cast<int>(m.tlsSlotsLost);
    report.handlesGained = static_cast<long>(m.handles);
    report.heapBytesGained = m.heapBytes;
    report.addressBytesGained = m.reservedBytes;
    report.threadsGained = static_cast<long>(m.threads);
    if (report.cycles == 0) return report;
    const double cycles = report.cycles;
    Projector projector;
    if (report.tlsSlotsLost > TlsSlotLossBound)
        projector.Consider(report.tlsSlotsLost / cycles, m.freeTlsSlots, L"thread-local storage slots");
    if (report.handlesGained > HandleGrowthBound)
        projector.Consider(report.handlesGained / cycles, HandleLimit - m.handlesTotal, L"handles");
    if (report.threadsGained > ThreadGrowthBound)
        projector.Consider(report.threadsGained / cycles, ThreadLimit, L"threads");
    if (report.heapBytesGained > HeapGrowthBound)
        projector.Consider(static_cast<double>(report.heapBytesGained) / cycles, AddressSpaceBytes - m.reservedTotal,
                           L"address space for the heap");
    if (report.addressBytesGained >= AddressBytesPerLoadLimit * report.cycles)
        projector.Consider(static_cast<double>(report.addressBytesGained) / cycles,
                           AddressSpaceBytes - m.reservedTotal, L"address space");
    const std::optional<Projection>& first = projector.First();
    report.leaks = first.has_value();
    if (!first) return report;
    report.projectedLoads = first->count;
    report.exhausted = first->exhausted;
    findings.push_back(
        {FindingKind::LeaksPerUnload, "",
         L"leaks at every unload: per load and free, thread-local storage slots " +
             Amount(report.tlsSlotsLost / cycles) + L", handles " + Amount(report.handlesGained / cycles) +
             L", threads " + Amount(report.threadsGained / cycles) + L", heap bytes " +
             Amount(std::round(static_cast<double>(report.heapBytesGained) / cycles)) + L", address space " +
             Amount(std::round(static_cast<double>(report.addressBytesGained) / cycles / 1024)) + L" KiB (" +
             std::to_wstring(report.cycles) + L" cycles); the host process fails after about " +
             std::to_wstring(first->count) + L" more loads (" + first->exhausted + L" run out)",
         LeakFix(language, true)});
    return report;
}

void JudgePerCall(const SubjectRecord& measure, ExtensionLanguage language, EntryPointReport& entry,
                  std::vector<Finding>& findings) {
    const Measured m = ReadMeasure(measure);
    if (m.done <= 0) return;
    const double calls = static_cast<double>(m.done);
    entry.heapBytesPerCall = static_cast<double>(m.heapBytes) / calls;
    entry.addressBytesPerCall = static_cast<double>(m.reservedBytes) / calls;
    Projector projector;
    if (*entry.heapBytesPerCall >= HeapBytesPerCallLimit)
        projector.Consider(*entry.heapBytesPerCall, AddressSpaceBytes - m.reservedTotal, L"address space for the heap");
    if (*entry.addressBytesPerCall >= AddressBytesPerCallLimit)
        projector.Consider(*entry.addressBytesPerCall, AddressSpaceBytes - m.reservedTotal, L"address space");
    if (m.handles > m.done / 2) projector.Consider(static_cast<double>(m.handles) / calls, HandleLimit, L"handles");
    if (m.threads > m.done / 2) projector.Consider(static_cast<double>(m.threads) / calls, ThreadLimit, L"threads");
    if (m.tlsSlotsLost > m.done / 2)
        projector.Consider(static_cast<double>(m.tlsSlotsLost) / calls, m.freeTlsSlots, L"thread-local storage slots");
    const std::optional<Projection>& first = projector.First();
    if (!first) return;
    const double hours = static_cast<double>(first->count) / CallsPerSecond / 3600;
    findings.push_back({FindingKind::LeaksPerCall, ShapeOf(entry.entryPoint).name,
                        L"leaks at every call: per call, heap bytes " + Amount(std::round(*entry.heapBytesPerCall)) +
                            L", address space bytes " + Amount(std::round(*entry.addressBytesPerCall)) +
                            L", handles " + Amount(static_cast<double>(m.handles) / calls) + L", threads " +
                            Amount(static_cast<double>(m.threads) / calls) + L", TLS slots " +
                            Amount(static_cast<double>(m.tlsSlotsLost) / calls) + L" (" + std::to_wstring(m.done) +
                            L" calls); a host making " + Amount(CallsPerSecond) +
                            L" calls a second fails after about " + Amount(std::max(hours, 0.1)) + L" hours (" +
                            first->exhausted + L" run out)",
                        LeakFix(language, false)});
}
