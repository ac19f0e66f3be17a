// ParamExtensionHost.exe: the helper process of IsolatedExtension.dll. It
// loads one real extension library and runs its calls as the host's
// IsolatedExtension.dll forwards them over the channel named on its command
// line:
//
//     ParamExtensionHost.exe CHANNEL HOST-PROCESS-ID
//
// Whatever the extension does to this process (a fault, exit(), abort(), an
// escaping exception, heap corruption) ends this process only; the host sees
// it end and declines that one call. The exit code says what happened: the
// exception code of an unhandled exception, or the extension's exit code.
#include "ExtensionRunner.h"
#include "HelperChannel.h"
#include "HostWatch.h"

#include <cstdlib>
#include <cwchar>

namespace {

// An unhandled exception ends the helper at once with its code, without the
// system's crash dialog or debugger.
LONG WINAPI EndWithExceptionCode(EXCEPTION_POINTERS* exception) {
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

void QuietFailures() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndWithExceptionCode);
    // abort() writes its message to the standard error, which goes nowhere,
    // instead of showing a message box.
    _set_error_mode(_OUT_TO_STDERR);
}

// The committed private memory of the helper, summed over its address space
// (Wine's GetProcessMemoryInfo does not follow it).
uint32_t PrivateMegabytes() {
    uint64_t committed = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* address = nullptr; VirtualQuery(address, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) committed += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return static_cast<uint32_t>(committed >> 20);
}

// Between calls, once the spinning stopped: a heap the extension corrupted,
// or private bytes past the limit, end the helper, which the host starts
// again for the next call.
void CheckBetweenCalls(IsolationChannel& shared) {
    const uint32_t megabytes = PrivateMegabytes();
    if (shared.memoryLimitMegabytes && megabytes > shared.memoryLimitMegabytes) {
        shared.privateMegabytes = megabytes;
        InterlockedExchange(&shared.endedBetweenCalls, EndMemory);
        ExitProcess(0);
    }
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i)
        if (!HeapValidate(heaps[i], 0, nullptr)) {
            InterlockedExchange(&shared.endedBetweenCalls, EndHeapCorrupted);
            TerminateProcess(GetCurrentProcess(), 0xC0000374);
        }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    QuietFailures();
    if (argc != 3) return 2;
    HelperChannel channel;
    if (!channel.Open(argv[1], static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)))) return 2;
    HostWatch watch;
    if (!watch.Start(channel.Host())) return 2;
    IsolationChannel& shared = channel.Shared();
    ExtensionRunner runner(channel, watch);
    for (;;) {
        const LONG turn = channel.WaitForTurn(TurnHelperCall, TurnHelperQuit, [&] { CheckBetweenCalls(shared); });
        if (turn == TurnHelperQuit) return 0;
        runner.Run();
        channel.Post(TurnHostResult);
        runner.ClearBuffers();
    }
}
