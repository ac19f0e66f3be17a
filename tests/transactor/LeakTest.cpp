// Explain and Obscure called over and over on one transactor, along every path
// (built-in, through an extension, refused, failing, through a faulting
// extension), leave nothing behind: no reference on the host's objects, no
// handle, no memory, and, once the transactor is released, no extension module.
#include "fakes/FakeParam.h"
#include "support/ExtensionLibraries.h"
#include "support/CountedAllocations.h"
#include "support/LoadEvents.h"
#include "support/RepeatedCalls.h"
#include "ProcessUsage.h"
#include "support/Transactor.h"
#include "util/UniqueModule.h"
#include "util/UniqueVariant.h"

#include <gtest/gtest.h>

#include <functional>
#include <string_view>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

// Each path runs this often per round: well over a thousand calls in all.
constexpr int RepeatsPerRound = 100;

// What may grow between two rounds without being a leak: far less than a
// round leaking one handle, or one short text, per path would take. C++
// allocations must balance exactly.
constexpr DWORD HandleGrowthBound = 2;
constexpr SIZE_T PrivateBytesGrowthBound = 64 * 1024;
constexpr SIZE_T HeapBytesGrowthBound = 1024;

constexpr std::string_view FrameBytes = "ABCDEFGH";

// Puts into `target` a byte array holding `bytes`.
void FillByteArray(VARIANT& target, std::string_view bytes) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    ASSERT_NE(nullptr, array);
    V_VT(&target) = VT_ARRAY | VT_UI1;
    V_ARRAY(&target) = array;
    for (LONG i = 0; i < static_cast<LONG>(bytes.size()); ++i) {
        BYTE value = static_cast<BYTE>(bytes[static_cast<size_t>(i)]);
        ASSERT_EQ(S_OK, SafeArrayPutElement(array, &i, &value));
    }
}

// One kind of call and whether it answered as that path must.
struct CallPath {
    const char* name;
    std::function<bool()> call;
};

// The extension libraries in place while a group of paths runs.
struct PathGroup {
    const wchar_t* library;
    std::vector<CallPath> paths;
};

class LeakTest : public testing::Test {
protected:
    void SetUp() override {
        FillByteArray(frame.Get(), FrameBytes);
        V_VT(&notAnArray.Get()) = VT_I4;
        param.StartByte = 2;
        param.ByteCount = 3;
        param.ValueText = L"12";
        param.ObscureText = L"0917";
        failing.Fail(L"GetStartByte", E_FAIL, L"the host cannot read the field");
        failing.Fail(L"GetValueText", E_FAIL, L"the host has no value");
    }

    HRESULT Explain(FakeParam& host, const VARIANT& data) {
        return ExplainOnce(*transactor.Get(), host, data, static_cast<LONG>(FrameBytes.size()));
    }
    HRESULT Obscure(FakeParam& host) { return ObscureOnce(*transactor.Get(), host); }

    std::vector<PathGroup> AllPaths() {
        const CallPath explain{"Explain", [this] { return Explain(param, frame.Get()) == S_OK; }};
        const CallPath obscure{"Obscure", [this] { return Obscure(param) == S_OK; }};
        return {
            {L"",
             {explain,
              obscure,
              {"Explain refused", [this] { return RefusedExplain() == S_OK; }},
              {"Explain failing host", [this] { return FAILED(Explain(failing, frame.Get())); }},
              {"Explain of no array", [this] { return FAILED(Explain(param, notAnArray.Get())); }},
              {"Obscure failing host", [this] { return FAILED(Obscure(failing)); }},
              {"Obscure of a non-digit", [this] { return NonDigitObscure(); }}}},
            {L"ExtSucceed.dll", {explain, obscure}},
            {L"ExtRefuse.dll", {explain, obscure}},
            // Faulting extensions fail the attempt: the built-in result stands.
            {L"ExtNullPointer.dll", {explain, obscure}},
            {L"ExtRaiseCustom.dll", {explain, obscure}},
        };
    }

    HRESULT RefusedExplain() {
        param.StartByte = 9;
        const HRESULT result = Explain(param, frame.Get());
        param.StartByte = 2;
        return result;
    }

    bool NonDigitObscure() {
        param.ObscureText = L"12x";
        const bool failed = FAILED(Obscure(param));
        param.ObscureText = L"0917";
        return failed;
    }

    void UseLibraries(const wchar_t* path) {
        PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, path);
        PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ObscureLibrary, path);
    }

    // Runs every path RepeatsPerRound times and answers the calls that did
    // not answer as their path must.
    int RunRound() {
        int wrongAnswers = 0;
        for (PathGroup& group : AllPaths()) {
            UseLibraries(group.library);
            for (int repeat = 0; repeat < RepeatsPerRound; ++repeat) {
                for (CallPath& path : group.paths) {
                    if (path.call()) continue;
                    ++wrongAnswers;
                    ADD_FAILURE() << path.name << " with library '" << group.library << "' answered wrongly";
                }
            }
        }
        return wrongAnswers;
    }

    ComPtr<IParamTransactor> transactor = NewTransactor();
    FakeParam param, failing;
    UniqueVariant frame, notAnArray;
};

TEST_F(LeakTest, RepeatedCallsOnEveryPathKeepReferencesHandlesAndMemoryFlat) {
    // Every unload of a DLL that carries this toolchain's C++ runtime leaves
    // that runtime's memory and a handle or two behind, whoever unloads it.
    // The test extensions are therefore kept loaded while the rounds are
    // measured; the transactor still takes and gives back its own module
    // references at every switch of libraries.
    std::vector<UniqueModule> keptLoaded;
    for (const char* library : {"ExtSucceed.dll", "ExtRefuse.dll", "ExtNullPointer.dll", "ExtRaiseCustom.dll"}) {
        keptLoaded.emplace_back(LoadLibraryA(library));
        ASSERT_TRUE(keptLoaded.back()) << library;
    }

    ASSERT_EQ(0, RunRound());  // warm-up: caches and lazily loaded modules settle
    const long allocationsBefore = LiveAllocations();
    const ProcessUsage before = CurrentProcessUsage();
    ASSERT_EQ(0, RunRound());
    const ProcessUsage after = CurrentProcessUsage();
    const long allocationsAfter = LiveAllocations();

    EXPECT_EQ(0, param.OutstandingReferences());
    EXPECT_EQ(0, failing.OutstandingReferences());
    EXPECT_EQ(allocationsBefore, allocationsAfter) << "C++ allocations live before and after a round";
    EXPECT_LE(after.handles, before.handles + HandleGrowthBound)
        << "handles before " << before.handles << ", after " << after.handles;
    EXPECT_LE(after.privateBytes, before.privateBytes + PrivateBytesGrowthBound)
        << "private bytes before " << before.privateBytes << ", after " << after.privateBytes;
    EXPECT_LE(after.heapBytes, before.heapBytes + HeapBytesGrowthBound)
        << "busy heap bytes before " << before.heapBytes << ", after " << after.heapBytes;
}

TEST_F(LeakTest, ReleasingTheTransactorAfterManyCallsFreesEveryExtension) {
    ASSERT_EQ(0, RunRound());
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, L"ExtSucceed.dll");
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ObscureLibrary, L"ExtRefuse.dll");
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_EditLibrary, L"ExtNoEntry.dll");
    ASSERT_TRUE(IsLoaded("ExtSucceed.dll") && IsLoaded("ExtRefuse.dll") && IsLoaded("ExtNoEntry.dll"));
    ASSERT_TRUE(Explain(param, frame.Get()) == S_OK && Obscure(param) == S_OK);

    transactor.Reset();
    EXPECT_FALSE(IsLoaded("ExtSucceed.dll"));
    EXPECT_FALSE(IsLoaded("ExtRefuse.dll"));
    EXPECT_FALSE(IsLoaded("ExtNoEntry.dll"));
    EXPECT_EQ(0, param.OutstandingReferences());
}

}  // namespace
