// An IParam the extension kept never reaches a host object after its call
// returned, however many calls later it is used: each call's proxy has an
// address of its own. The host's object of every call sees exactly what the
// first call's saw, which made no stale call.
#include "isolated/IsolatedCopy.h"
#include "isolated/IsolationHost.h"

#include <gtest/gtest.h>

using Microsoft::WRL::ComPtr;

namespace {

// `calls` calls of Explain at parameter 13 of `library`: every one right, and
// no host object gets a call the first one's did not.
void ExpectNoStaleCallReachesTheHost(const std::string& name, const char* library, int calls) {
    const std::wstring copy = MakeIsolatedCopy(name, {.library = library});
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, copy.c_str());
    const HostView first = Operate(*transactor.Get(), Entry::Explain, 13);
    ASSERT_EQ(GoodAnswer(Entry::Explain), first);
    for (int call = 1; call < calls; ++call) {
        const HostView view = Operate(*transactor.Get(), Entry::Explain, 13);
        ASSERT_EQ(GoodAnswer(Entry::Explain), view) << "call " << call;
        ASSERT_EQ(first.calls, view.calls) << "call " << call << " reached the host's object";
    }
    const std::string log = ReadIsolationLog(name);
    EXPECT_EQ(1u, Occurrences(log, "kept after its call had returned")) << "one line a minute:\n" << log;
    EXPECT_NE(std::string::npos, log.find("RPC_E_DISCONNECTED, nothing reached the host")) << log;
}

TEST(IsolationKeptParam, TheFirstCallsObjectAskedAtTenThousandLaterCalls) {
    ExpectNoStaleCallReachesTheHost("IsoKeptFirst", "ExtMisKeepFirstParam.dll", 10000);
}

// With the tests' horizon of 1024 calls, addresses come again three times
// over: the pointer kept from the previous call still reaches nothing.
TEST(IsolationKeptParam, ThePreviousCallsObjectAskedPastTheHorizon) {
    SetEnvironmentVariableW(L"OVIX_ISOLATION_PROXY_HORIZON", L"1024");  // the helper inherits it
    ExpectNoStaleCallReachesTheHost("IsoKeptHorizon", "ExtMisKeepParam.dll", 3500);
    SetEnvironmentVariableW(L"OVIX_ISOLATION_PROXY_HORIZON", nullptr);
}

// Two threads of the extension ask the first call's object without a pause
// while later calls come: each stale page they fault on is full before either
// can read it, so the helper never ends and nothing reaches the host.
TEST(IsolationKeptParam, TheFirstCallsObjectAskedFromTwoThreadsAtOnce) {
    ExpectNoStaleCallReachesTheHost("IsoKeptThreads", "ExtMisKeepFirstParamThreads.dll", 3000);
    const std::string log = ReadIsolationLog("IsoKeptThreads");
    EXPECT_EQ(std::string::npos, log.find("helper ended")) << log;
    EXPECT_EQ(std::string::npos, log.find("declined")) << log;
}

}  // namespace
