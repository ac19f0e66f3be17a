// A processor fault inside an operation, in a call on the parameter object,
// in the host's error object or in an object held by a frame element, ends
// the operation with E_UNEXPECTED and the thread's error information as it
// was, and leaves nothing behind: the frame array unlocked, every reference
// given back, the heap flat over ten thousand such calls, and the caller's
// x87 control word and MXCSR, an empty x87 register stack and a clear
// direction flag.
#include "fakes/FakeDispatch.h"
#include "fakes/FakeErrorInfo.h"
#include "fakes/FakeParam.h"
#include "support/ErrorInfo.h"
#include "support/ExtensionLibraries.h"
#include "support/ProcessorState.h"
#include "support/RepeatedCalls.h"
#include "ProcessUsage.h"
#include "support/Transactor.h"
#include "util/UniqueVariant.h"

#include <gtest/gtest.h>

#include <functional>

using Microsoft::WRL::ComPtr;

namespace {

constexpr int FaultingCalls = 10000;
// Far below one byte per faulting call; the leaks this guards against took
// 16 to 79 bytes per call.
constexpr SIZE_T HeapGrowthBound = 2048;

// Runs `call` FaultingCalls times after a warm-up and expects the busy heap
// bytes to stay flat.
void ExpectHeapFlat(const std::function<void()>& call) {
    for (int i = 0; i < 100; ++i) call();
    const SIZE_T before = CountBusyHeapBytes();
    for (int i = 0; i < FaultingCalls; ++i) call();
    const SIZE_T after = CountBusyHeapBytes();
    EXPECT_LE(after, before + HeapGrowthBound) << "busy heap bytes before " << before << ", after " << after;
}

class FaultUnwindTest : public testing::Test {
protected:
    void SetUp() override {
        SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 4);
        ASSERT_NE(nullptr, array);
        V_VT(&frame.Get()) = VT_ARRAY | VT_UI1;
        V_ARRAY(&frame.Get()) = array;
        Describe(param);
    }

    // A field of two bytes from the start of the frame; the digits 0 and 7.
    static void Describe(FakeParam& host) {
        host.StartByte = 1;
        host.ByteCount = 2;
        host.ObscureText = L"07";
    }

    HRESULT Explain(const VARIANT& data) { return Explain(param, data); }
    HRESULT Explain(FakeParam& host, const VARIANT& data) { return ExplainOnce(*transactor.Get(), host, data, 4); }
    HRESULT Obscure(FakeParam& host) { return ObscureOnce(*transactor.Get(), host); }

    // `call` answers `expected` and leaves the thread's error information as it was.
    void ExpectAnswerWithErrorInfoKept(HRESULT expected, const std::function<HRESULT()>& call) {
        SetThreadErrorInfo(L"Host", L"before the fault");
        EXPECT_EQ(expected, call());
        const ThreadErrorInfo info = TakeThreadErrorInfo();
        EXPECT_EQ(L"before the fault", info.description);
    }

    // `call` keeps the caller's x87 control word and MXCSR (ones a host may
    // use, not the defaults), leaves the x87 register stack empty and the
    // direction flag clear, and keeps a value the compiler holds in a
    // register across it.
    static void ExpectProcessorStateKept(const std::function<void()>& call) {
        constexpr unsigned short HostControlWord = 0x027F;
        constexpr uint32_t HostMxcsr = 0x3F80;  // round down, every exception masked
        const unsigned short defaultControlWord = ControlWord();
        const uint32_t defaultMxcsr = Mxcsr();
        SetControlWord(HostControlWord);
        SetMxcsr(HostMxcsr);
        volatile uint32_t kept = 0x600DF00D;
        uint32_t held = kept;
        call();
        uint32_t environment[7];
        asm volatile("fnstenv %0" : "=m"(environment));
        const uint32_t mxcsr = Mxcsr();
        uint32_t flags;
        asm volatile("pushfl\n\tpopl %0" : "=r"(flags));
        SetControlWord(defaultControlWord);
        SetMxcsr(defaultMxcsr);
        EXPECT_EQ(HostControlWord, environment[0] & 0xFFFF) << "x87 control word";
        EXPECT_EQ(HostMxcsr, mxcsr & ~0x3Fu) << std::hex << "MXCSR " << mxcsr;
        EXPECT_EQ(0xFFFFu, environment[2] & 0xFFFF) << "x87 tag word: every register empty";
        EXPECT_EQ(0u, flags & 0x400) << "direction flag";
        EXPECT_EQ(kept, held);
    }
    static ULONG LockCount(const VARIANT& data) { return V_ARRAY(&data)->cLocks; }

    ComPtr<IParamTransactor> transactor = NewTransactor();
    FakeParam param;
    UniqueVariant frame;
};

struct HostMethodFault {
    const wchar_t* method;
    bool obscure;              // Obscure, else Explain
    const wchar_t* library;    // the operation's extension library
    LONG bitMode;
    HRESULT expected;          // S_OK where the fault only fails the extension attempt
};

const HostMethodFault HostMethodFaults[] = {
    {L"GetStartByte", false, L"", 0, E_UNEXPECTED},
    {L"GetBitIndex", false, L"", 0, E_UNEXPECTED},
    {L"GetByteCount", false, L"", 0, E_UNEXPECTED},
    {L"GetHexEncoded", false, L"", 0, E_UNEXPECTED},
    {L"GetBitMode", false, L"", 0, E_UNEXPECTED},
    {L"SetBitText", false, L"", 0, E_UNEXPECTED},
    {L"SetValueText", false, L"", 0, E_UNEXPECTED},
    {L"GetBitText", false, L"", 1, E_UNEXPECTED},
    {L"GetParamId", false, L"ExtSucceed.dll", 0, E_UNEXPECTED},
    {L"SetExplainCode", false, L"ExtSucceed.dll", 0, E_UNEXPECTED},
    {L"GetDisplaySuffix", false, L"ExtSucceed.dll", 0, E_UNEXPECTED},
    {L"SetDisplayText", false, L"ExtSucceed.dll", 0, E_UNEXPECTED},
    {L"GetValueText", true, L"", 0, E_UNEXPECTED},
    {L"GetParamId", true, L"ExtSucceed.dll", 0, E_UNEXPECTED},
    {L"GetObscureByteB", true, L"ExtSucceed.dll", 0, S_OK},
    {L"GetObscureByteA", true, L"ExtSucceed.dll", 0, S_OK},
    {L"GetObscureIntB", true, L"ExtSucceed.dll", 0, S_OK},
    {L"GetObscureIntA", true, L"ExtSucceed.dll", 0, S_OK},
    {L"GetObscureText", true, L"", 0, E_UNEXPECTED},
};

TEST_F(FaultUnwindTest, FaultInEachHostMethodLeavesNoLockReferenceOrHeapBehind) {
    for (const HostMethodFault& fault : HostMethodFaults) {
        SCOPED_TRACE(testing::Message() << (fault.obscure ? "Obscure, " : "Explain, ") << "fault in "
                                        << std::string(fault.method, fault.method + wcslen(fault.method)));
        FakeParam host;
        Describe(host);
        host.BitMode = fault.bitMode;
        host.Crash(fault.method);
        const LibraryPathPut put = fault.obscure ? &IParamTransactor::put_ObscureLibrary
                                                 : &IParamTransactor::put_ExplainLibrary;
        PutLibraryPath(*transactor.Get(), put, fault.library);
        const auto call = [&] { return fault.obscure ? Obscure(host) : Explain(host, frame.Get()); };

        ExpectAnswerWithErrorInfoKept(fault.expected, call);
        ExpectProcessorStateKept([&] { call(); });
        EXPECT_EQ(0u, LockCount(frame.Get()));
        EXPECT_EQ(0, host.OutstandingReferences());
        ExpectHeapFlat([&] { call(); });
        PutLibraryPath(*transactor.Get(), put, L"");
        if (HasFailure()) break;
    }
}

TEST_F(FaultUnwindTest, FaultInTheHostsErrorObjectReleasesIt) {
    FakeErrorInfo errorObject;
    errorObject.FaultOnDescription = true;
    param.Fail(L"GetByteCount", E_FAIL, errorObject);
    EXPECT_EQ(E_UNEXPECTED, Explain(frame.Get()));
    EXPECT_EQ(0, errorObject.OutstandingReferences()) << "taken from the thread and released";
    EXPECT_EQ(0, param.OutstandingReferences());
    ExpectHeapFlat([&] { Explain(frame.Get()); });
}

TEST_F(FaultUnwindTest, FaultInTheReleaseOfTheHostsErrorObjectLeavesNothingBehind) {
    FakeErrorInfo errorObject;
    errorObject.FaultOnRelease = true;
    param.Fail(L"GetByteCount", E_FAIL, errorObject);
    EXPECT_EQ(E_UNEXPECTED, Explain(frame.Get()));
    EXPECT_EQ(1, errorObject.Faults());
    EXPECT_EQ(0, errorObject.OutstandingReferences()) << "taken from the thread and released";
    EXPECT_EQ(0u, LockCount(frame.Get()));
    EXPECT_EQ(0, param.OutstandingReferences());
    ExpectProcessorStateKept([&] { Explain(frame.Get()); });
    ExpectHeapFlat([&] { Explain(frame.Get()); });
}

// A frame of two VARIANT elements: a number, then `object`.
class FaultingElementTest : public FaultUnwindTest {
protected:
    void HoldInFrame(FakeDispatch& object) {
        VARIANT elements[2];
        V_VT(&elements[0]) = VT_I4;
        V_I4(&elements[0]) = 0x41;
        V_VT(&elements[1]) = VT_DISPATCH;
        V_DISPATCH(&elements[1]) = &object;
        SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 2);
        ASSERT_NE(nullptr, array);
        for (LONG i = 0; i < 2; ++i) ASSERT_EQ(S_OK, SafeArrayPutElement(array, &i, &elements[i]));
        V_VT(&variants.Get()) = VT_ARRAY | VT_VARIANT;
        V_ARRAY(&variants.Get()) = array;
        baseline = object.OutstandingReferences();
    }

    UniqueVariant variants;
    LONG baseline = 0;
};

TEST_F(FaultingElementTest, ObjectsAreAskedForTheirValue) {
    FakeDispatch number(FakeDispatch::Answer::Number, 0x142), failing(FakeDispatch::Answer::Failure);
    HoldInFrame(number);
    EXPECT_EQ(S_OK, Explain(variants.Get()));
    EXPECT_EQ(L"AB", param.SetValue);
    HoldInFrame(failing);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Explain(variants.Get()));
    EXPECT_EQ(baseline, failing.OutstandingReferences());
}

TEST_F(FaultingElementTest, ObjectThatFaultsLeavesNoLockReferenceOrHeapBehind) {
    FakeDispatch faulting(FakeDispatch::Answer::Fault);
    HoldInFrame(faulting);
    ExpectAnswerWithErrorInfoKept(E_UNEXPECTED, [&] { return Explain(variants.Get()); });
    EXPECT_EQ(1, faulting.Requests());
    EXPECT_EQ(0u, LockCount(variants.Get()));
    EXPECT_EQ(baseline, faulting.OutstandingReferences());
    ExpectHeapFlat([&] { Explain(variants.Get()); });
}

// Its value is another object, whose value is a number and whose Release faults.
TEST_F(FaultingElementTest, ValueWhoseReleaseFaultsLeavesNoLockReferenceOrHeapBehind) {
    FakeDispatch value(FakeDispatch::Answer::Number, 0x142), holder(value);
    value.FaultOnRelease = true;
    HoldInFrame(holder);
    ExpectAnswerWithErrorInfoKept(E_UNEXPECTED, [&] { return Explain(variants.Get()); });
    EXPECT_EQ(1, value.Requests());
    EXPECT_EQ(0u, LockCount(variants.Get()));
    EXPECT_EQ(baseline, holder.OutstandingReferences());
    EXPECT_EQ(0, value.OutstandingReferences());
    ExpectProcessorStateKept([&] { Explain(variants.Get()); });
    ExpectHeapFlat([&] { Explain(variants.Get()); });
}

// Its value is itself, again and again, until the stack would overflow.
TEST_F(FaultingElementTest, ObjectWhoseValueNeverEndsGivesEveryReferenceBack) {
    FakeDispatch endless(FakeDispatch::Answer::Itself);
    HoldInFrame(endless);
    for (int call = 0; call < 3; ++call) {
        ExpectAnswerWithErrorInfoKept(E_UNEXPECTED, [&] { return Explain(variants.Get()); });
        EXPECT_GT(endless.Requests(), 100);
        EXPECT_EQ(0u, LockCount(variants.Get()));
        EXPECT_EQ(baseline, endless.OutstandingReferences());
    }
    param.StartByte = 1;
    param.ByteCount = 1;
    EXPECT_EQ(S_OK, Explain(variants.Get())) << "the object goes on working";
}

}  // namespace
