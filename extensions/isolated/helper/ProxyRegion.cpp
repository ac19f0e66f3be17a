#include "ProxyRegion.h"

#include "OtherThreads.h"
#include "StaleParamProxy.h"

#include <cstring>
#include <new>

namespace {

constexpr size_t PageBytes = 4096;
ProxyRegion* Region;  // the one whose faults the handler answers

char* PageOf(const void* address) {
    return reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(address) & ~(uintptr_t{PageBytes} - 1));
}

}  // namespace

bool ProxyRegion::Reserve(uint32_t horizon) {
    InitializeCriticalSection(&FLock);
    size_t bytes = (static_cast<size_t>(horizon) * ProxyBytes + PageBytes - 1) & ~(PageBytes - 1);
    if (bytes < 2 * PageBytes) bytes = 2 * PageBytes;
    // A fragmented address space gets a shorter horizon rather than none.
    while (!(FBase = static_cast<char*>(VirtualAlloc(nullptr, bytes, MEM_RESERVE, PAGE_NOACCESS))) &&
           bytes > 2 * PageBytes)
        bytes /= 2;
    if (!FBase) return false;
    FBytes = bytes;
    Region = this;
    return AddVectoredExceptionHandler(1, AnswerStaleCall) != nullptr;
}

void* ProxyRegion::Next() {
    EnterCriticalSection(&FLock);
    char* proxy = FBase + FNext;
    FNext = (FNext + ProxyBytes) % FBytes;
    char* page = PageOf(proxy);
    if (page != FLivePage) {
        if (FLivePage) VirtualFree(FLivePage, PageBytes, MEM_DECOMMIT);
        VirtualAlloc(page, PageBytes, MEM_COMMIT, PAGE_READWRITE);  // fresh pages are zero
        FLivePage = page;
    }
    LeaveCriticalSection(&FLock);
    return proxy;
}

// A read or write in a decommitted page of the region: a kept proxy called
// after its call. The page gets stale proxies, which stay while fewer than
// StalePageCapacity pages have them: a pointer asked again and again costs
// one fault, not one at every call.
LONG CALLBACK ProxyRegion::AnswerStaleCall(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record.NumberParameters < 2 || !Region)
        return EXCEPTION_CONTINUE_SEARCH;
    char* address = reinterpret_cast<char*>(record.ExceptionInformation[1]);
    if (address < Region->FBase || address >= Region->FBase + Region->FBytes) return EXCEPTION_CONTINUE_SEARCH;
    return Region->LayStaleProxies(address) ? EXCEPTION_CONTINUE_EXECUTION : EXCEPTION_CONTINUE_SEARCH;
}

bool ProxyRegion::LayStaleProxies(char* address) {
    EnterCriticalSection(&FLock);
    char* page = PageOf(address);
    MEMORY_BASIC_INFORMATION state{};
    bool laid = false;
    if (VirtualQuery(page, &state, sizeof state) == sizeof state && state.State == MEM_RESERVE) {
        if (FStaleCount == StalePageCapacity) DecommitStalePages();
        // A committed page reads as zeros until it is full: no other thread
        // runs before it is, or it would call through a null vtable.
        const OtherThreads heldStill;
        if (VirtualAlloc(page, PageBytes, MEM_COMMIT, PAGE_READWRITE)) {
            for (char* slot = page; slot < page + PageBytes; slot += ProxyBytes) new (slot) StaleParamProxy();
            FStalePages[FStaleCount++] = page;
            laid = true;
        }
    } else {
        laid = state.State == MEM_COMMIT;  // another thread laid them meanwhile: the call runs again
    }
    LeaveCriticalSection(&FLock);
    return laid;
}

void ProxyRegion::DecommitStalePages() {
    for (int i = 0; i < FStaleCount; ++i)
        if (FStalePages[i] != FLivePage) VirtualFree(FStalePages[i], PageBytes, MEM_DECOMMIT);
    FStaleCount = 0;
}
