// Hostile extensions called through the one extension call site: a fault or
// structured exception inside one is a call that did not complete, the wrong
// calling convention or clobbered registers do no harm, and afterwards the
// caller's stack, registers and exception chain are as they were, so the next
// call works.
#include "contracts/ExtensionEntryPoints.h"
#include "guard/FaultGuard.h"
#include "transactor/ExtensionCall.h"
#include "support/ProcessorState.h"
#include "util/UniqueModule.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

struct Extension {
    UniqueModule module;
    FARPROC explain, obscure, edit;
};

Extension Load(const char* file) {
    Extension extension{UniqueModule(LoadLibraryA(file)), nullptr, nullptr, nullptr};
    const HMODULE module = extension.module.Get();
    extension.explain = GetProcAddress(module, ExplainParamName);
    extension.obscure = GetProcAddress(module, ObscureParamName);
    extension.edit = GetProcAddress(module, EditParamName);
    return extension;
}

// The out-buffers and 16-bit code an operation lends an extension.
struct Lent {
    char value[ExtensionBufferSize] = {}, display[ExtensionBufferSize] = {}, digits[ExtensionBufferSize] = {};
    uint16_t code = 0;
};

// The entry points called with arguments as the operations pass them.
ExtensionCallOutcome CallExplain(FARPROC entry, Lent& lent) {
    static const char field[] = "34";
    return CallExtension(entry, {PointerArgument(field), 2, PointerArgument(""), 0, PointerArgument(field), 2, 9,
                                 PointerArgument(&lent.code), PointerArgument(lent.value),
                                 PointerArgument(lent.display), 0});
}

ExtensionCallOutcome CallObscure(FARPROC entry, Lent& lent) {
    return CallExtension(entry, {PointerArgument("12"), 2, PointerArgument(""), 0, 9, PointerArgument(lent.digits),
                                 1, 2, 3, 4, 0});
}

ExtensionCallOutcome CallEdit(FARPROC entry, Lent& lent) {
    return CallExtension(entry, {0, PointerArgument(lent.value), PointerArgument(lent.display)});
}

__attribute__((noinline)) uintptr_t CallersStackPointer() {
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
}

const char* const HostileExtensions[] = {"ExtNullPointer.dll", "ExtDivideByZero.dll", "ExtRaiseCustom.dll",
                                         "ExtMsvcThrow.dll"};

TEST(ExtensionGuard, HostileExtensionFailsTheAttemptAndTheNextCallWorks) {
    const Extension good = Load("ExtSucceed.dll");
    for (const char* file : HostileExtensions) {
        SCOPED_TRACE(file);
        const Extension hostile = Load(file);
        ASSERT_TRUE(hostile.explain && hostile.obscure && hostile.edit);
        Lent lent;
        EXPECT_FALSE(CallExplain(hostile.explain, lent).completed);
        EXPECT_FALSE(CallObscure(hostile.obscure, lent).completed);
        EXPECT_FALSE(CallEdit(hostile.edit, lent).completed);
        EXPECT_FALSE(CallEdit(hostile.edit, lent).Succeeded());

        EXPECT_TRUE(CallEdit(good.edit, lent).Succeeded());
        EXPECT_STREQ("5", lent.value);
        EXPECT_STREQ("Five", lent.display);
    }
}

int32_t __stdcall IllegalInstruction(int32_t) {
    asm volatile("ud2");
    return 0;
}

int32_t __stdcall PrivilegedInstruction(int32_t) {
    asm volatile("hlt");
    return 0;
}

int32_t __stdcall Breakpoint(int32_t) {
    asm volatile("int3");
    return 0;
}

// Recurses until the stack is exhausted (the stop never comes).
__attribute__((noinline)) int Recurse(int depth) {
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    if (depth < 0) return 0;
    return Recurse(depth + 1) + frame[0];
}

int32_t __stdcall StackOverflow(int32_t depth) { return Recurse(depth); }

TEST(ExtensionGuard, IllegalPrivilegedAndBreakpointInstructionsFailTheAttempt) {
    EXPECT_FALSE(CallExtension(GuardedEntry(&IllegalInstruction), {1}).completed);
    EXPECT_FALSE(CallExtension(GuardedEntry(&PrivilegedInstruction), {1}).completed);
    EXPECT_FALSE(CallExtension(GuardedEntry(&Breakpoint), {1}).completed);
}

TEST(ExtensionGuard, EveryStackOverflowFailsTheAttempt) {
    for (int i = 0; i < 3; ++i) ASSERT_FALSE(CallExtension(GuardedEntry(&StackOverflow), {0}).completed);
}

TEST(ExtensionGuard, AThousandFaultsLeaveStackAndExceptionChainAsTheyWere) {
    const Extension hostile[] = {Load(HostileExtensions[0]), Load(HostileExtensions[1]), Load(HostileExtensions[2]),
                                 Load(HostileExtensions[3])};
    const uintptr_t chainHead = ExceptionChainHead();
    const uintptr_t stackPointer = CallersStackPointer();
    Lent lent;
    for (int i = 0; i < 1000; ++i) {
        for (size_t k = 0; k < std::size(hostile); ++k) {
            ASSERT_FALSE(CallEdit(hostile[k].edit, lent).completed) << HostileExtensions[k] << ", round " << i;
            ASSERT_FALSE(CallExplain(hostile[k].explain, lent).completed) << HostileExtensions[k] << ", round " << i;
        }
        ASSERT_EQ(stackPointer, CallersStackPointer());
        ASSERT_EQ(chainHead, ExceptionChainHead());
    }
    bool caught = false;
    try {
        throw std::string("C++ exceptions still work");
    } catch (const std::string&) {
        caught = true;
    }
    EXPECT_TRUE(caught);
}

TEST(ExtensionGuard, WrongCallingConventionOrArgumentCountStillSucceeds) {
    const Extension wrong = Load("ExtWrongConvention.dll");
    ASSERT_TRUE(wrong.explain && wrong.obscure && wrong.edit);
    const uintptr_t stackPointer = CallersStackPointer();
    for (int i = 0; i < 1000; ++i) {
        Lent lent;
        ASSERT_TRUE(CallExplain(wrong.explain, lent).Succeeded());  // cdecl: removes nothing
        ASSERT_STREQ("cdecl", lent.value);
        ASSERT_EQ(3, lent.code);
        ASSERT_TRUE(CallObscure(wrong.obscure, lent).Succeeded());  // removes 24 of 44 bytes
        ASSERT_STREQ("42", lent.digits);
        ASSERT_TRUE(CallEdit(wrong.edit, lent).Succeeded());  // removes 28 of 12 bytes
        ASSERT_STREQ("7", lent.value);
        ASSERT_EQ(stackPointer, CallersStackPointer());
    }
}

// Calls the entry point in ClobberingEntry with known values in EBX, ESI and
// EDI, and gives back what those registers hold afterwards.
FARPROC ClobberingEntry = nullptr;

extern "C" void CallClobberingEntry() {
    Lent lent;
    CallEdit(ClobberingEntry, lent);
}

struct CalleeSaved {
    uint32_t ebx, esi, edi;
};

CalleeSaved CallKeepingRegisters() {
    CalleeSaved registers{0x0B0B0B0B, 0x05050505, 0x0D0D0D0D};
    void (*call)() = &CallClobberingEntry;
    asm volatile("call *%[call]"
                 : "+b"(registers.ebx), "+S"(registers.esi), "+D"(registers.edi)
                 : [call] "m"(call)
                 : "eax", "ecx", "edx", "memory", "cc");
    return registers;
}

bool DirectionFlagSet() {
    uint32_t flags;
    asm volatile("pushfl; popl %0" : "=r"(flags));
    return (flags & 0x400) != 0;
}

TEST(ExtensionGuard, ClobberedRegistersFlagsAndFpuStackAreRestored) {
    const Extension clobbering = Load("ExtClobberRegisters.dll");
    ClobberingEntry = clobbering.edit;
    ASSERT_TRUE(ClobberingEntry);
    const uintptr_t stackPointer = CallersStackPointer();
    for (int i = 0; i < 1000; ++i) {
        const CalleeSaved registers = CallKeepingRegisters();
        ASSERT_EQ(0x0B0B0B0Bu, registers.ebx);
        ASSERT_EQ(0x05050505u, registers.esi);
        ASSERT_EQ(0x0D0D0D0Du, registers.edi);
        ASSERT_FALSE(DirectionFlagSet());
        ASSERT_EQ(stackPointer, CallersStackPointer());
    }
    // Each call left a value on the x87 register stack; had they stayed, the
    // stack would have overflowed and this would not be 3.
    volatile double half = 1.5;
    EXPECT_EQ(3.0, half * 2.0);
    Lent lent;
    EXPECT_TRUE(CallExplain(clobbering.explain, lent).Succeeded());
    EXPECT_TRUE(CallObscure(clobbering.obscure, lent).Succeeded());
}

}  // namespace
