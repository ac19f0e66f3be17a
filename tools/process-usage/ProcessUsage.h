#pragma once
// What the process holds right now, for comparing before and after repeated
// calls. Wine answers 0 for the handle count and the private bytes, so the
// handles are also counted in the system's handle table and the memory also
// as the bytes of busy blocks in every heap of the process, which both Wine
// and Windows report exactly.

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <vector>

struct ProcessUsage {
    DWORD handles = 0;        // GetProcessHandleCount, or the handle table's count where that answers 0
    SIZE_T privateBytes = 0;  // GetProcessMemoryInfo's private bytes
    SIZE_T heapBytes = 0;     // bytes in busy heap blocks
};

// Entries of the system's handle table that belong to this process.
inline DWORD CountHandlesInSystemTable() {
    constexpr NTSTATUS BufferTooSmall = static_cast<NTSTATUS>(0xC0000004L);  // STATUS_INFO_LENGTH_MISMATCH
    std::vector<char> buffer(64 * 1024);
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(SystemHandleInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), nullptr)) == BufferTooSmall)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    const auto& table = *reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    DWORD owned = 0;
    for (ULONG i = 0; i < table.Count; ++i)
        if (table.Handle[i].OwnerPid == GetCurrentProcessId()) ++owned;
    return owned;
}

inline DWORD CountHandles() {
    DWORD count = 0;
    if (!GetProcessHandleCount(GetCurrentProcess(), &count) || count == 0) count = CountHandlesInSystemTable();
    return count;
}

inline SIZE_T CountPrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return 0;
    return counters.PrivateUsage;
}

inline SIZE_T CountBusyHeapBytes() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 8);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    SIZE_T busy = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap)) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += entry.cbData;
        HeapUnlock(heap);
    }
    return busy;
}

// Thread-local storage slots still free in the process: a process has a
// fixed number of them (1088), and a module that takes one for good at every
// load makes the loads fail once they are used up.
inline int CountFreeTlsSlots() {
    std::vector<DWORD> taken;
    for (DWORD slot; (slot = TlsAlloc()) != TLS_OUT_OF_INDEXES;) taken.push_back(slot);
    for (DWORD slot : taken) TlsFree(slot);
    return static_cast<int>(taken.size());
}

inline ProcessUsage CurrentProcessUsage() {
    // The handle table is read first: its buffer is freed again before the heaps are walked.
    ProcessUsage usage;
    usage.handles = CountHandles();
    usage.privateBytes = CountPrivateBytes();
    usage.heapBytes = CountBusyHeapBytes();
    return usage;
}
