// A long-running host lets the component go whenever DllCanUnloadNow allows
// and loads it again when it next needs it, over and over. Each such session
// must leave nothing behind in the process: no handle, no heap memory, no
// thread-local storage slot (the process has only 1088 of them).
#include "ProcessUsage.h"
#include "support/Repeat.h"
#include "support/Transactor.h"
#include "util/UniqueModule.h"
#include "util/UniqueVariant.h"

#include <gtest/gtest.h>

using Microsoft::WRL::ComPtr;

namespace {

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();

constexpr int WarmUpSessions = 3;  // caches and lazily loaded system modules settle
constexpr int MeasuredSessions = 200;

// What may grow over all measured sessions without being a leak: less than
// one handle, or 48 bytes, per session would take. What the statically
// linked runtime left behind came to 4 handles and about 20 KB a session.
constexpr DWORD HandleGrowthBound = 2;
constexpr SIZE_T HeapBytesGrowthBound = 8 * 1024;

// One session: load the module, create an object through its class object,
// make a call fail inside the object (an exception is thrown and turned into
// an HRESULT there), release everything and free the module once
// DllCanUnloadNow allows it.
void RunHostSession() {
    UniqueModule component(LoadLibraryA("OvixParamTransactor.dll"));
    ASSERT_TRUE(component);
    {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, ExportOf<GetClassObjectFunction>(component.Get(), "DllGetClassObject")(
                            CLSID_ParamTransactor, IID_PPV_ARGS(&factory)));
        ComPtr<IParamTransactor> transactor;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&transactor)));
        UniqueVariant data;
        LONG status = 0;
        EXPECT_EQ(E_POINTER, transactor->Explain(nullptr, data.Get(), 0, &status));
    }
    ASSERT_EQ(S_OK, ExportOf<CanUnloadNowFunction>(component.Get(), "DllCanUnloadNow")());
}

bool RunHostSessions(int count) { return RepeatUntilFailure(count, RunHostSession); }

TEST(UnloadTest, RepeatedLoadAndUnloadKeepsHandlesMemoryAndTlsSlotsFlat) {
    ASSERT_TRUE(RunHostSessions(WarmUpSessions));
    const int freeTlsSlotsBefore = CountFreeTlsSlots();
    const ProcessUsage before = CurrentProcessUsage();
    ASSERT_TRUE(RunHostSessions(MeasuredSessions));
    const ProcessUsage after = CurrentProcessUsage();
    const int freeTlsSlotsAfter = CountFreeTlsSlots();

    EXPECT_LE(after.handles, before.handles + HandleGrowthBound)
        << "handles before " << before.handles << ", after " << after.handles;
    EXPECT_LE(after.heapBytes, before.heapBytes + HeapBytesGrowthBound)
        << "busy heap bytes before " << before.heapBytes << ", after " << after.heapBytes;
    EXPECT_EQ(freeTlsSlotsBefore, freeTlsSlotsAfter) << "free thread-local storage slots";
}

}  // namespace
