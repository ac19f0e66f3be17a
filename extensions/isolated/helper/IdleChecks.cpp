#include "IdleChecks.h"

#include "outofprocess/HeapCheck.h"

namespace {

// The thread looks every 100 ms: each wake-up of a third thread can take a
// processor from the two that spin for a burst's calls.
constexpr DWORD MeasureEveryMs = 1000, LookEveryMs = 100;
// Between two measures on the serving loop's path during a burst: a burst's
// calls of a microsecond each are not held up every 10th time.
constexpr ULONGLONG CallPathGapMs = 2;
constexpr uint32_t MeasureEveryCalls = 10;
// No call for this long: the heaps may be validated.
constexpr ULONGLONG QuietMs = 150, ValidateAtMostEveryMs = 1000;

// The committed private memory of this process, in bytes.
uint64_t CommittedPrivateBytes() {
    uint64_t committed = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* address = nullptr; VirtualQuery(address, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) committed += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return committed;
}

}  // namespace

bool IdleChecks::Start(IsolationChannel& shared) {
    FShared = &shared;
    FThread.Reset(CreateThread(nullptr, 64 * 1024, Run, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    return static_cast<bool>(FThread);
}

void IdleChecks::CallEnded() {
    FCalls.fetch_add(1, std::memory_order_relaxed);
    if (MeasureDue() && GetTickCount64() - FMeasuredAt.load(std::memory_order_relaxed) >= CallPathGapMs)
        MeasureMemory();
}

void IdleChecks::BeforeSleep() {
    if (MeasureDue()) MeasureMemory();
}

bool IdleChecks::MeasureDue() const noexcept {
    return FCalls.load(std::memory_order_relaxed) - FCallsMeasured.load(std::memory_order_relaxed) >= MeasureEveryCalls ||
           GetTickCount64() - FMeasuredAt.load(std::memory_order_relaxed) >= MeasureEveryMs;
}

DWORD WINAPI IdleChecks::Run(LPVOID parameter) {
    auto& checks = *static_cast<IdleChecks*>(parameter);
    for (;;) {
        Sleep(LookEveryMs);
        if (checks.MeasureDue()) checks.MeasureMemory();
        checks.ValidateHeapsWhenIdle();
    }
}

void IdleChecks::MeasureMemory() {
    FCallsMeasured.store(FCalls.load(std::memory_order_relaxed), std::memory_order_relaxed);
    FMeasuredAt.store(GetTickCount64(), std::memory_order_relaxed);
    const uint32_t limit = FShared->memoryLimitMegabytes;
    if (!limit) return;
    const uint64_t megabytes = CommittedPrivateBytes() >> 20;
    if (megabytes <= limit) return;
    FShared->privateMegabytes = static_cast<uint32_t>(megabytes);
    FOverLimit.store(true, std::memory_order_relaxed);
}

void IdleChecks::ValidateHeapsWhenIdle() {
    const uint32_t calls = FCalls.load(std::memory_order_relaxed);
    const ULONGLONG now = GetTickCount64();
    if (calls != FCallsAtLastLook) {
        FCallsAtLastLook = calls;
        FQuietSince = now;
        return;
    }
    if (calls == FCallsAtValidation || now - FQuietSince < QuietMs || now - FValidatedAt < ValidateAtMostEveryMs)
        return;
    // A call that comes now waits for the heap only if it uses it while a
    // validation runs: the rare cost of a call right at the end of a pause.
    if (FShared->turn != TurnIdle && FShared->turn != TurnHostResult) return;
    FCallsAtValidation = calls;
    FValidatedAt = now;
    if (HeapsAreSound()) return;
    InterlockedExchange(&FShared->endedBetweenCalls, EndHeapCorrupted);
    TerminateProcess(GetCurrentProcess(), 0xC0000374);
}
