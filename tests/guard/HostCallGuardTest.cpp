// The host-call guard wherever a host call is made: inside an operation (the
// call is marked in the method guard's record, found on the chain or through
// the slot the operation found), outside any guard, and inside another host
// call (each links a record of its own). A fault in the
// call comes back as its exception code, the thread's exception chain is as
// it was, and the next call is guarded the same way.
#include "errors/MethodGuard.h"
#include "guard/HostCallGuard.h"

#include "fakes/Fault.h"
#include "support/ProcessorState.h"

#include <unknwn.h>

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

namespace {

// A host call that faults, then one that completes, each checked.
void ExpectFaultThenCompletion(const char* where) {
    const uintptr_t head = ExceptionChainHead();
    const HostCallOutcome faulted = TryCallHost([] {
        FaultWithProcessorStateDisturbed();
        return 0;
    });
    EXPECT_FALSE(faulted.completed) << where;
    EXPECT_EQ(static_cast<uint32_t>(EXCEPTION_ACCESS_VIOLATION), faulted.outcome) << where;
    EXPECT_EQ(head, ExceptionChainHead()) << where;
    const HostCallOutcome completed = TryCallHost([] { return 42; });
    EXPECT_TRUE(completed.completed) << where;
    EXPECT_EQ(42u, completed.outcome) << where;
    EXPECT_EQ(head, ExceptionChainHead()) << where;
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
        const uintptr_t head = ExceptionChainHead();
        EXPECT_EQ(E_UNEXPECTED, MethodGuard(IID_IUnknown, L"Test", [] {
                      CallHost([] {
                          WriteThroughNullPointer();
                          return 0;
                      });
                      ADD_FAILURE() << "the fault was not raised";
                  }));
        EXPECT_EQ(head, ExceptionChainHead());
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

// The host's control state, not the default: round down in both units.
constexpr uint32_t HostMxcsr = 0x3F80;
constexpr uint16_t HostControlWord = 0x067F;

// Where a free slot is expected, the calls are marked in it; elsewhere they
// are guarded as every other host call. Either way a fault is raised, the
// slot is free again after each call and, where a method guard encloses the
// call (which saved the host's state), the host's control state is back.
void ExpectSlotCallsGuarded(HostObject& object, const char* where, bool slotExpected, bool insideAGuard = true) {
    HostCallSlot* const slot = FreeHostCallSlot();
    EXPECT_EQ(slotExpected, slot != nullptr) << where;
    const uintptr_t head = ExceptionChainHead();
    try {
        CallHostMethod(slot, object, &HostObject::Fault, LONG{1});
        ADD_FAILURE() << where << ": the fault was not raised";
    } catch (const EProcessorFault& fault) {
        EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), fault.Code()) << where;
    }
    const uint32_t mxcsr = Mxcsr();
    const uint16_t controlWord = ControlWord();
    SetMxcsr(HostMxcsr);
    SetControlWord(HostControlWord);
    if (insideAGuard) {
        EXPECT_EQ(HostMxcsr, mxcsr & ~0x3Fu) << where << std::hex << ": MXCSR " << mxcsr;
        EXPECT_EQ(HostControlWord, controlWord) << where << std::hex << ": control word " << controlWord;
    }
    EXPECT_EQ(head, ExceptionChainHead()) << where;
    EXPECT_EQ(slot, FreeHostCallSlot()) << where;
    LONG value = 0;
    EXPECT_EQ(S_OK, CallHostMethod(slot, object, &HostObject::Answer, &value)) << where;
    EXPECT_EQ(42, value) << where;
    EXPECT_EQ(slot, FreeHostCallSlot()) << where;
}

TEST(HostCallGuard, CallsMarkedInTheSlotAnOperationFoundAndWhereItFoundNone) {
    HostObject object;
    const uint32_t defaultMxcsr = Mxcsr();
    const uint16_t defaultControlWord = ControlWord();
    SetMxcsr(HostMxcsr);
    SetControlWord(HostControlWord);
    ExpectSlotCallsGuarded(object, "outside any guard", false, false);
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
    SetMxcsr(defaultMxcsr);
    SetControlWord(defaultControlWord);
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
        const uintptr_t head = ExceptionChainHead();
        char copy[64];
        EXPECT_EQ(E_UNEXPECTED, MethodGuard(IID_IUnknown, L"Test", [&] {
                      CopyFromHost(page.Address(), count, copy);
                      ADD_FAILURE() << "count " << count << ": the fault was not raised";
                  }))
            << "count " << count;
        EXPECT_EQ(head, ExceptionChainHead()) << "count " << count;
    }
}

}  // namespace
