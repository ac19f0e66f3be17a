// The host's floating-point state is its own: an extension that returns with
// the SSE control register MXCSR and the x87 control word changed (round
// toward zero, a trap unmasked, flush-to-zero) leaves the host's state as it
// was after Explain, Obscure and Edit, so the host's own arithmetic gives the
// same results before and after.
#include "support/ExtensionLibraries.h"
#include "support/ProcessorState.h"
#include "support/RepeatedCalls.h"
#include "support/Transactor.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr uint32_t HostMxcsr = 0x3F80;       // every exception masked, round down (not the default), no flush-to-zero
constexpr uint16_t HostControlWord = 0x027F;  // double precision, as many hosts set it
constexpr uint32_t CarelessMxcsr = 0xFF00;   // flush-to-zero, round toward zero, invalid operation unmasked
constexpr uint16_t CarelessControlWord = 0x0C7F;

// 1e-308 / 10 with SSE arithmetic, as a host built for SSE computes it: a
// denormal, which flush-to-zero would make 0.
[[gnu::target("sse2,fpmath=sse"), gnu::noinline]] double TenthOfTheSmallestNormal() {
    volatile double tiny = 1e-308, ten = 10;
    return tiny / ten;
}

struct Operation {
    const char* name;
    LibraryPathPut put;
    std::function<HRESULT(IParamTransactor&, FakeParam&)> call;
};

HRESULT Explain(IParamTransactor& transactor, FakeParam& host) {
    host.StartByte = 1;
    host.ByteCount = 2;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 4);
    UniqueVariant frame;
    V_VT(&frame.Get()) = VT_ARRAY | VT_UI1;
    V_ARRAY(&frame.Get()) = array;
    return ExplainOnce(transactor, host, frame.Get(), 4);
}

HRESULT Obscure(IParamTransactor& transactor, FakeParam& host) {
    host.ObscureText = L"07";
    return ObscureOnce(transactor, host);
}

HRESULT Edit(IParamTransactor& transactor, FakeParam& host) {
    UniqueBstr value;
    LONG status = 0;
    return transactor.Edit(&host, value.Receive(), &status);
}

TEST(FloatingPointState, AnExtensionCannotChangeTheHostsMxcsrOrX87ControlWord) {
    const Operation operations[] = {{"Explain", &IParamTransactor::put_ExplainLibrary, Explain},
                                    {"Obscure", &IParamTransactor::put_ObscureLibrary, Obscure},
                                    {"Edit", &IParamTransactor::put_EditLibrary, Edit}};
    const uint32_t testersMxcsr = Mxcsr();
    const uint16_t testersControlWord = ControlWord();
    for (const Operation& operation : operations) {
        SCOPED_TRACE(operation.name);
        const auto transactor = NewTransactor();
        FakeParam host;
        ScriptedState& extension = UseScriptedLibrary(*transactor.Get(), operation.put);
        extension.result = 0;
        extension.mxcsrOnReturn = CarelessMxcsr;
        extension.x87ControlWordOnReturn = CarelessControlWord;

        SetMxcsr(HostMxcsr);
        SetControlWord(HostControlWord);
        const HRESULT result = operation.call(*transactor.Get(), host);
        const uint32_t mxcsrAfter = Mxcsr();
        const uint16_t controlWordAfter = ControlWord();
        const double tenth = TenthOfTheSmallestNormal();
        SetMxcsr(testersMxcsr);
        SetControlWord(testersControlWord);

        EXPECT_EQ(S_OK, result);
        EXPECT_EQ(1, extension.calls) << "the extension ran";
        EXPECT_EQ(HostMxcsr, mxcsrAfter & ~0x3Fu) << std::hex << "MXCSR " << mxcsrAfter;
        EXPECT_EQ(HostControlWord, controlWordAfter) << std::hex << "x87 control word " << controlWordAfter;
        EXPECT_NE(0.0, tenth) << "1e-308 / 10 after the call";
    }
}

}  // namespace
