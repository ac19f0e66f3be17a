#pragma once
// The addresses of the IParam proxies the helper lends: each call's proxy at
// the next address of a reserved region, so that an address comes again only
// after `horizon` calls (2^24 unless the tests set a smaller one). The page
// of the current proxies is committed; the page before is decommitted when
// the next one begins. A kept pointer into a decommitted page faults in the
// helper; the fault is answered by laying StaleParamProxy objects over that
// page (kept for later stale calls, at most StalePageCapacity pages), with
// every other thread held still until the page is full, and the instruction
// runs again: the call gets RPC_E_DISCONNECTED and reaches nothing, from
// whichever thread it comes.
#include <windows.h>

#include <cstddef>
#include <cstdint>

class ProxyRegion {
public:
    static constexpr size_t ProxyBytes = 8;  // a proxy: its vtable and its call number
    static constexpr uint32_t DefaultHorizon = 1u << 24;

    // Reserves the region for `horizon` proxies (at least two pages of
    // them) and catches the faults in it. False when it cannot.
    bool Reserve(uint32_t horizon);
    // Room for the next proxy, committed (zero, or a stale proxy where a
    // stale call laid them).
    void* Next();

private:
    static LONG CALLBACK AnswerStaleCall(EXCEPTION_POINTERS* exception);
    bool LayStaleProxies(char* address);
    void DecommitStalePages();

    CRITICAL_SECTION FLock;
    char* FBase = nullptr;
    size_t FBytes = 0;
    size_t FNext = 0;  // offset of the next proxy
    char* FLivePage = nullptr;
    static constexpr int StalePageCapacity = 16;
    char* FStalePages[StalePageCapacity]{};
    int FStaleCount = 0;
};
