// ParamExtensionHost.exe: the helper process of IsolatedExtension.dll. It
// loads one real extension library and runs its calls as the host's
// IsolatedExtension.dll forwards them over the channel whose objects it
// inherited, their handle values on its command line:
//
//     ParamExtensionHost.exe MAPPING HELPER-EVENT HOST-EVENT HOST-PROCESS
//
// Whatever the extension does to this process (a fault, exit(), abort(), an
// escaping exception, heap corruption) ends this process only; the host sees
// it end and declines that one call. The exit code says what happened: the
// exception code of an unhandled exception, or the extension's exit code.
#include "ExtensionRunner.h"
#include "HelperChannel.h"
#include "IdleChecks.h"
#include "outofprocess/QuickEnd.h"
#include "outofprocess/StarterWatch.h"

namespace {

// The helper has more committed memory than its limit: it ends, and the host
// starts a new one for the next call, or for this one when it came meanwhile.
[[noreturn]] void EndForMemory(IsolationChannel& shared) {
    InterlockedExchange(&shared.endedBetweenCalls, EndMemory);
    TerminateProcess(GetCurrentProcess(), 0);
    ExitProcess(0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    EndQuicklyOnFailure();
    if (argc != 5) return 2;
    HelperChannel channel;
    if (!channel.Open(argv + 1)) return 2;
    StarterWatch watch;
    if (!watch.Start(channel.Host(), {HelperExitHostEnded, HelperExitLoadTimedOut})) return 2;
    IsolationChannel& shared = channel.Shared();
    IdleChecks checks;
    if (!checks.Start(shared)) return 2;
    ExtensionRunner runner(channel, watch);
    for (;;) {
        const LONG turn = channel.WaitForTurn(TurnHelperCall, TurnHelperQuit, [&] { checks.BeforeSleep(); });
        if (turn == TurnHelperQuit) return 0;
        // Past the limit since the last call (measured while it waited): the
        // host starts a new helper for this call.
        if (checks.OverLimit()) EndForMemory(shared);
        runner.Run();
        channel.Post(TurnHostResult);
        checks.CallEnded();
        if (checks.OverLimit()) EndForMemory(shared);
        runner.ClearBuffers();
    }
}
