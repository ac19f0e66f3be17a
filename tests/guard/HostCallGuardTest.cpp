// The host-call guard wherever a host call is made: inside an operation (the
// call is marked in the method guard's record, found on the chain or through
// the slot the operation found), outside any guard, and inside another host
// call (each links a record of its own). A fault in the
// call comes back as its exception code, the thread's exception chain is as
// it was, and the next call is guarded the same way.
#include "errors/MethodGuard.h"
#include "guard/HostCallGuard.h"

#include "fakes/Fault.h"

#include <unknwn.h>

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

namespace {

void* ChainHead() {
    void* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

// A host call that faults, then one that completes, each checked.
void ExpectFaultThenCompletion(const char* where) {
    void* const head = ChainHead();
    const HostCallOutcome faulted = TryCallHost([] {
        FaultWithProcessorStateDisturbed();
        return 0;
    });
    EXPECT_FALSE(faulted.completed) << where;
    EXPECT_EQ(static_cast<uint32_t>(EXCEPTION_ACCESS_VIOLATION), faulted.outcome) << where;
    EXPECT_EQ(head, ChainHead()) << where;
    const HostCallOutcome completed = TryCallHost([] { return 42; });
    EXPECT_TRUE(completed.completed) << where;
    EXPECT_EQ(42u, completed.outcome) << where;
    EXPECT_EQ(head, ChainHead()) << where;
}

TEST(HostCallGuard, FaultIsAnsweredOutsideAnyGuardInsideAnOperationAndInsideAnotherHostCall) {
    ExpectFaultThenCompletion("outside any guard");
    EXPECT_EQ(S_OK, MethodGuard(IID_IUnknown, L"Test", [] { ExpectFaultThenCompletion("inside an operation"); }));
    EXPECT_EQ(S_OK, MethodGuard(IID_IUnknown, L"Test", [] {
                  const HostCallOutcome outer = TryCallHost([] {
                      ExpectFaultThenCompletion("inside a host call");
                      return 7;
                  });
                  EXPECT_TRUE(outer.completed);
                  EXPECT_EQ(7u, outer.outcome);
                  ExpectFaultThenCompletion("after a host call that held others");
              }));
}

TEST(HostCallGuard, RaisedFaultUnwindsTheOperationAndTheNextOneRunsGuarded) {
    for (int operation = 0; operation < 3; ++operation) {
        void* const head = ChainHead();
        EXPECT_EQ(E_UNEXPECTED, MethodGuard(IID_IUnknown, L"Test", [] {
                      CallHost([] {
                          WriteThroughNullPointer();
                          return 0;
                      });
                      ADD_FAILURE() << "the fault was not raised";
                  }));
        EXPECT_EQ(head, ChainHead());
    }
}

// A host object with a method that faults and one that answers.
struct HostObject {
    virtual HRESULT STDMETHODCALLTYPE Fault(LONG) {
        FaultWithProcessorStateDisturbed();
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE Answer(LONG* value) {
        *value = 42;
        return S_OK;
    }
};

struct ControlState {
    unsigned mxcsr;
    unsigned short x87ControlWord;
    bool operator==(const ControlState&) const = default;
};

ControlState CurrentControlState() {
    ControlState state{};
    asm volatile("stmxcsr %0\n\tfnstcw %1" : "=m"(state.mxcsr), "=m"(state.x87ControlWord));
    return state;
}

// Where a free slot is expected, the calls are marked in it; elsewhere they
// are guarded as every other host call. Either way a fault is raised with
// the caller's control state back, and the slot is free again after each call.
void ExpectSlotCallsGuarded(HostObject& object, const char* where, bool slotExpected) {
    HostCallSlot* const slot = FreeHostCallSlot();
    EXPECT_EQ(slotExpected, slot != nullptr) << where;
    void* const head = ChainHead();
    const ControlState before = CurrentControlState();
    try {
        CallHostMethod(slot, object, &HostObject::Fault, LONG{1});
        ADD_FAILURE() << where << ": the fault was not raised";
    } catch (const EProcessorFault& fault) {
        EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), fault.Code()) << where;
    }
    EXPECT_TRUE(before == CurrentControlState()) << where << ": MXCSR " << std::hex << CurrentControlState().mxcsr;
    EXPECT_EQ(head, ChainHead()) << where;
    EXPECT_EQ(slot, FreeHostCallSlot()) << where;
    LONG value = 0;
    EXPECT_EQ(S_OK, CallHostMethod(slot, object, &HostObject::Answer, &value)) << where;
    EXPECT_EQ(42, value) << where;
    EXPECT_EQ(slot, FreeHostCallSlot()) << where;
}

TEST(HostCallGuard, CallsMarkedInTheSlotAnOperationFoundAndWhereItFoundNone) {
    HostObject object;
    ExpectSlotCallsGuarded(object, "outside any guard", false);
    EXPECT_EQ(S_OK, MethodGuard(IID_IUnknown, L"Test", [&] {
                  ExpectSlotCallsGuarded(object, "inside an operation", true);
                  // The operation's slot is taken while a host call is under way in it.
                  const HostCallOutcome outer = TryCallHost([&] {
                      ExpectSlotCallsGuarded(object, "inside a host call", false);
                      return 7;
                  });
                  EXPECT_TRUE(outer.completed);
                  ExpectSlotCallsGuarded(object, "after a host call", true);
              }));
}

// A page of memory that cannot be read, as a host's dangling pointer leads to.
class UnreadablePage {
public:
    UnreadablePage() : FAddress(static_cast<char*>(VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_NOACCESS))) {}
    UnreadablePage(const UnreadablePage&) = delete;
    UnreadablePage& operator=(const UnreadablePage&) = delete;
    ~UnreadablePage() { VirtualFree(FAddress, 0, MEM_RELEASE); }
    const char* Address() const { return FAddress; }

private:
    char* FAddress;
};

TEST(HostCallGuard, CopyFromHostCopiesExactlyTheBytesAskedFor) {
    std::array<char, 100> source;
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<char>(i * 7 + 1);
    // Around the length where the short copy gives way to the library's.
    for (size_t count : {0u, 1u, 4u, 31u, 32u, 33u, 99u}) {
        std::array<char, 100> copy;
        copy.fill('\x5A');
        CopyFromHost(source.data(), count, copy.data());
        for (size_t i = 0; i < copy.size(); ++i)
            ASSERT_EQ(i < count ? source[i] : '\x5A', copy[i]) << "count " << count << ", byte " << i;
    }
}

TEST(HostCallGuard, CopyFromUnreadableMemoryRaisesAFault) {
    const UnreadablePage page;
    ASSERT_NE(nullptr, page.Address());
    for (size_t count : {4u, 64u}) {
        void* const head = ChainHead();
        char copy[64];
        EXPECT_EQ(E_UNEXPECTED, MethodGuard(IID_IUnknown, L"Test", [&] {
                      CopyFromHost(page.Address(), count, copy);
                      ADD_FAILURE() << "count " << count << ": the fault was not raised";
                  }))
            << "count " << count;
        EXPECT_EQ(head, ChainHead()) << "count " << count;
    }
}

}  // namespace
