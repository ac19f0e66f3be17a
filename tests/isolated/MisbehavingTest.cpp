// The misbehaving extensions through IsolatedExtension.dll and the real
// component: whatever the extension does at parameter 13, the host lives,
// that call declines (Explain and Obscure take their built-in path, Edit
// gets status 1), the next good call works, the log holds a line that says
// what happened, and nothing stays behind in the host.
#include "isolated/IsolatedCopy.h"
#include "isolated/IsolationHost.h"
#include "ProcessUsage.h"

#include <gtest/gtest.h>

using Microsoft::WRL::ComPtr;

namespace {

constexpr LONG Good = 1, Bad = 13;

struct Misbehaviour {
    const char* library;
    const char* logged;  // what the log line says happened
    int timeoutMs = 5000;
};

const Misbehaviour Faults[] = {
    {"ExtMisLoop.dll", "no answer within 300 ms", 300},
    {"ExtMisExit.dll", "exit code 7"},
    {"ExtMisAbort.dll", "exit code 3"},
    {"ExtMisThrow.dll", "exit code 3"},  // std::terminate
    {"ExtMisMsvcThrow.dll", "C++ exception thrown by a library built with Microsoft's compiler"},
    {"ExtMisAccessViolation.dll", "access violation"},
    {"ExtMisPastEnd.dll", "access violation"},
    {"ExtMisUnterminated.dll", "without its terminating zero"},
};

class MisbehavingTest : public testing::TestWithParam<Entry> {
protected:
    // A transactor whose library for the tested entry point is a fresh
    // isolated copy <prefix><entry point>.dll; its log is <that name>.log.
    ComPtr<IParamTransactor> IsolatedTransactor(const std::string& prefix, const IsolationSettings& settings) {
        name = prefix + EntryName(GetParam());
        ComPtr<IParamTransactor> transactor = NewTransactor();
        PutLibraryPath(*transactor.Get(), LibraryProperty(GetParam()), MakeIsolatedCopy(name, settings).c_str());
        return transactor;
    }

    std::string name;
};

TEST_P(MisbehavingTest, EachFaultCostsOneCallAndIsLogged) {
    const Entry entry = GetParam();
    for (const Misbehaviour& fault : Faults) {
        SCOPED_TRACE(fault.library);
        ComPtr<IParamTransactor> transactor = IsolatedTransactor(
            "IsoFault", {.library = fault.library, .timeoutMs = fault.timeoutMs, .editTimeoutMs = fault.timeoutMs});
        EXPECT_EQ(GoodAnswer(entry), Operate(*transactor.Get(), entry, Good));
        EXPECT_EQ(DeclinedAnswer(entry), Operate(*transactor.Get(), entry, Bad));
        EXPECT_EQ(GoodAnswer(entry), Operate(*transactor.Get(), entry, Good));
        const std::string log = ReadIsolationLog(name);
        EXPECT_NE(std::string::npos, log.find(fault.logged)) << log;
        EXPECT_NE(std::string::npos, log.find(std::string("  ") + fault.library + "  " + EntryName(entry) + "  param 13"))
            << log;
        EXPECT_NE(std::string::npos, log.find("call declined")) << log;
        PutLibraryPath(*transactor.Get(), LibraryProperty(entry), L"");
    }
}

// Heap corruption stays in the helper: where the heap notices it (in the
// call, a fault; or between calls, when the helper validates its heaps
// before it sleeps) the helper is started again; the host lives and the next
// call works either way.
TEST_P(MisbehavingTest, HeapCorruptionEndsTheHelperAndTheNextCallWorks) {
    const Entry entry = GetParam();
    ComPtr<IParamTransactor> transactor = IsolatedTransactor("IsoHeap", {.library = "ExtMisCorruptHeap.dll"});
    Operate(*transactor.Get(), entry, Bad);
    // The helper validates its heaps once no call came for a while: pauses
    // of 400 ms give it the chance, until the next call finds it replaced.
    std::string log;
    for (int pause = 0; pause < 25 && log.find("heap corruption") == std::string::npos; ++pause) {
        Sleep(400);
        EXPECT_EQ(GoodAnswer(entry), Operate(*transactor.Get(), entry, Good));
        log = ReadIsolationLog(name);
    }
    EXPECT_NE(std::string::npos, log.find("heap corruption found in the helper")) << log;
}

TEST_P(MisbehavingTest, AKeptParamCalledLaterReachesNothingAndIsLogged) {
    const Entry entry = GetParam();
    ComPtr<IParamTransactor> transactor = IsolatedTransactor("IsoKept", {.library = "ExtMisKeepParam.dll"});
    for (int call = 0; call < 3; ++call) EXPECT_EQ(GoodAnswer(entry), Operate(*transactor.Get(), entry, Bad));
    const std::string log = ReadIsolationLog(name);
    EXPECT_NE(std::string::npos, log.find("kept after its call had returned")) << log;
    EXPECT_NE(std::string::npos, log.find("RPC_E_DISCONNECTED")) << log;
}

// Under steady traffic too: calls with no pause between them, 1 MiB leaked
// at each, and a limit of 24 MB.
TEST_P(MisbehavingTest, ALeakingHelperIsReplacedUnderSteadyTrafficAndEveryCallWorks) {
    const Entry entry = GetParam();
    ComPtr<IParamTransactor> transactor = IsolatedTransactor("IsoLeakSteady", {.library = "ExtMisLeak.dll", .memoryMb = 24});
    for (int call = 0; call < 100; ++call)
        ASSERT_EQ(GoodAnswer(entry), Operate(*transactor.Get(), entry, Good)) << "call " << call;
    PutLibraryPath(*transactor.Get(), LibraryProperty(entry), L"");  // unloaded: the counts written
    const std::string log = ReadIsolationLog(name);
    EXPECT_GE(LoggedEvents(log, "passed memory_mb (24 MB)"), 3u) << log;
    EXPECT_EQ(LoggedEvents(log), LoggedEvents(log, "passed memory_mb (24 MB)")) << log;
}

TEST_P(MisbehavingTest, ALeakingHelperIsRestartedBetweenCallsAndEveryCallWorks) {
    const Entry entry = GetParam();
    ComPtr<IParamTransactor> transactor = IsolatedTransactor("IsoLeak", {.library = "ExtMisLeak.dll", .memoryMb = 96});
    for (int call = 0; call < 120; ++call) {
        ASSERT_EQ(GoodAnswer(entry), Operate(*transactor.Get(), entry, Good)) << "call " << call;
        Sleep(1);  // the helper checks its memory between calls, once it stops spinning
    }
    const std::string log = ReadIsolationLog(name);
    EXPECT_NE(std::string::npos, log.find("passed memory_mb (96 MB)")) << log;
}

INSTANTIATE_TEST_SUITE_P(Entries, MisbehavingTest, testing::Values(Entry::Explain, Entry::Obscure, Entry::Edit),
                         [](const auto& info) { return std::string(EntryName(info.param)); });

// After `restarts` restarts within a minute every call declines, until the
// library is set again. (The second restart's line is one like the first,
// counted rather than written within the minute.)
// The loader tells only that a load failed when DllMain raised an exception:
// the log names the exception, which the helper noted while it loaded.
TEST(Isolation, ALibraryWhoseDllMainRaisesIsLoggedWithItsException) {
    const std::wstring copy = MakeIsolatedCopy("IsoLoadRaise", {.library = "CheckLoadRaise.dll"});
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, copy.c_str());
    EXPECT_EQ(DeclinedAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, Good));
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, L"");
    const std::string log = ReadIsolationLog("IsoLoadRaise");
    EXPECT_NE(std::string::npos, log.find("could not be loaded in the helper (error ")) << log;
    EXPECT_NE(std::string::npos, log.find("; its DllMain raised exception E0000001)")) << log;
}

TEST(Isolation, TooManyRestartsSwitchTheExtensionOffUntilItIsSetAgain) {
    const std::wstring copy = MakeIsolatedCopy("IsoSwitchOff", {.library = "ExtMisAccessViolation.dll", .restarts = 2});
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, copy.c_str());
    for (int fault = 0; fault < 3; ++fault)
        EXPECT_EQ(DeclinedAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, Bad));
    EXPECT_EQ(DeclinedAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, Good)) << "switched off";
    const std::string log = ReadIsolationLog("IsoSwitchOff");
    EXPECT_NE(std::string::npos, log.find("restart 1 of 2 within a minute")) << log;
    EXPECT_NE(std::string::npos, log.find("every call declines until the library is set again")) << log;
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, L"");
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, copy.c_str());
    EXPECT_EQ(GoodAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, Good)) << "set again";
}

// Every `restarts` the settings accept is counted in full, past the first 64.
TEST(Isolation, SeventyRestartsWithinAMinuteSwitchTheExtensionOff) {
    const std::wstring copy = MakeIsolatedCopy("IsoSeventy", {.library = "ExtMisAccessViolation.dll", .restarts = 70});
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, copy.c_str());
    for (int fault = 0; fault <= 70; ++fault)
        ASSERT_EQ(DeclinedAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, Bad)) << fault;
    EXPECT_EQ(DeclinedAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, Good)) << "switched off";
    const std::string log = ReadIsolationLog("IsoSeventy");
    EXPECT_NE(std::string::npos, log.find("; 70 restarts within a minute")) << log;
}

// The host's own object faults while it serves an IParam call forwarded from
// the helper: the component catches the fault as in process, and the next
// call finds the call it left behind, ends that helper and works.
TEST(Isolation, AFaultInTheHostsObjectDuringAForwardedCallCostsThatCallOnly) {
    const std::wstring copy = MakeIsolatedCopy("IsoHostFault", {.library = "ExtMisKeepParam.dll"});
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_EditLibrary, copy.c_str());
    {
        FakeParam host;
        host.Crash(L"GetParamId");  // the extension's EditParam asks for it first
        UniqueBstr value;
        LONG status = -1;
        transactor->Edit(&host, value.Receive(), &status);
        EXPECT_EQ(1, host.Faults());
    }
    EXPECT_EQ(GoodAnswer(Entry::Edit), Operate(*transactor.Get(), Entry::Edit, Good));
    const std::string log = ReadIsolationLog("IsoHostFault");
    EXPECT_NE(std::string::npos, log.find("the previous call ended by a fault in the host's object")) << log;
}

// While a call waits for the helper, the host's thread dispatches its posted
// messages; a handler that calls the same extension again gets a declined
// call, and the waiting call goes on.
IParamTransactor* ReenteringTransactor;
HostView ReenteredView;

LRESULT CALLBACK ReenteringWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) ReenteredView = Operate(*ReenteringTransactor, Entry::Explain, Good);
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Isolation, ACallFromTheHostsMessageLoopWhileOneWaitsDeclines) {
    const std::wstring copy = MakeIsolatedCopy("IsoReentered", {.library = "ExtMisLoop.dll", .timeoutMs = 500});
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, copy.c_str());
    ReenteringTransactor = transactor.Get();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ReenteringWindow;
    windowClass.lpszClassName = L"IsoReentering";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"IsoReentering", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(GoodAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, Good));
    PostMessageW(window, WM_APP, 0, 0);
    EXPECT_EQ(DeclinedAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, Bad)) << "the loop's time limit";
    EXPECT_EQ(DeclinedAnswer(Entry::Explain), ReenteredView) << "the call from the message loop";
    EXPECT_EQ(GoodAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, Good));
    const std::string log = ReadIsolationLog("IsoReentered");
    EXPECT_NE(std::string::npos, log.find("param 1  input 41 42  called again from the host's message loop")) << log;
    DestroyWindow(window);
    UnregisterClassW(L"IsoReentering", nullptr);
}

// A WM_QUIT the wait takes from the queue is there again for the host's own
// message loop afterwards.
TEST(Isolation, AQuitMessageDuringTheWaitStaysForTheHostsLoop) {
    const std::wstring copy = MakeIsolatedCopy("IsoQuit", {.library = "ExtMisLoop.dll", .timeoutMs = 300});
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, copy.c_str());
    EXPECT_EQ(GoodAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, Good));
    PostQuitMessage(7);
    EXPECT_EQ(DeclinedAnswer(Entry::Explain), Operate(*transactor.Get(), Entry::Explain, Bad));
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, message.wParam);
}

// Loading, faulting and freeing the isolated library leaves no handle and no
// heap block in the host.
TEST(Isolation, NothingStaysBehindInTheHost) {
    const std::wstring copy = MakeIsolatedCopy("IsoFlat", {.library = "ExtMisAccessViolation.dll"});
    const auto cycle = [&] {
        ComPtr<IParamTransactor> transactor = NewTransactor();
        PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, copy.c_str());
        Operate(*transactor.Get(), Entry::Explain, Good);
        Operate(*transactor.Get(), Entry::Explain, Bad);
        Operate(*transactor.Get(), Entry::Explain, Good);
    };
    cycle();
    cycle();
    const DWORD handles = CountHandles();
    const SIZE_T heap = CountBusyHeapBytes();
    for (int i = 0; i < 5; ++i) cycle();
    EXPECT_EQ(handles, CountHandles());
    EXPECT_LE(CountBusyHeapBytes(), heap + 4096) << "from " << heap;
}

}  // namespace
