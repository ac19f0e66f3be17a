#include "check/SubjectUsage.h"

#include "ProcessUsage.h"
#include "util/KernelHandle.h"

#include <tlhelp32.h>

namespace {

void MeasureAddressSpace(SubjectUsage& usage) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    auto* address = static_cast<BYTE*>(system.lpMinimumApplicationAddress);
    MEMORY_BASIC_INFORMATION region;
    while (address < system.lpMaximumApplicationAddress && VirtualQuery(address, &region, sizeof region)) {
        const auto size = static_cast<long long>(region.RegionSize);
        if (region.State != MEM_FREE) usage.reservedBytes += size;
        if (region.State == MEM_COMMIT) usage.committedBytes += size;
        address = static_cast<BYTE*>(region.BaseAddress) + region.RegionSize;
    }
}

long long CountThreads() {
    HANDLE taken = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (taken == INVALID_HANDLE_VALUE) return 0;
    const UniqueKernelHandle snapshot(taken);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    long long threads = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++threads;
    return threads;
}

}  // namespace

SubjectUsage MeasureSubjectUsage() {
    SubjectUsage usage;
    usage.freeTlsSlots = CountFreeTlsSlots();
    usage.threads = CountThreads();
    const ProcessUsage process = CurrentProcessUsage();
    usage.handles = process.handles;
    usage.heapBytes = static_cast<long long>(process.heapBytes);
    MeasureAddressSpace(usage);
    return usage;
}
