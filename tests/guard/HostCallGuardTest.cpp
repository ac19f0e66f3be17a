// The host-call guard wherever a host call is made: inside an operation (the
// call is marked in the method guard's record), outside any guard, and
// inside another host call (each links a record of its own). A fault in the
// call comes back as its exception code, the thread's exception chain is as
// it was, and the next call is guarded the same way.
#include "errors/MethodGuard.h"
#include "guard/HostCallGuard.h"

#include "fakes/Fault.h"

#include <unknwn.h>

#include <gtest/gtest.h>

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

}  // namespace
