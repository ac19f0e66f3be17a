// param_host on a console of code page 936, as the operators' stations have
// it: what it prints is read back from the console's screen buffer and shows
// Chinese texts and µ as they are, not as UTF-8 bytes taken for GBK.
#include "support/ChildProcess.h"
#include "util/KernelHandle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// A console of this process's own, with code page 936, for its lifetime.
class OwnConsole {
public:
    OwnConsole() {
        FreeConsole();
        FCreated = AllocConsole() != FALSE;
        if (FCreated) SetConsoleOutputCP(936);
    }
    ~OwnConsole() {
        if (FCreated) FreeConsole();
    }
    OwnConsole(const OwnConsole&) = delete;
    OwnConsole& operator=(const OwnConsole&) = delete;
    bool Created() const { return FCreated; }

private:
    bool FCreated = false;
};

HANDLE OpenInheritable(const wchar_t* name) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       OPEN_EXISTING, 0, nullptr);
}

// Runs param_host.exe with `arguments`, its output and errors on the console
// `screen`, and answers its exit code.
DWORD RunOnConsole(const std::wstring& arguments, HANDLE screen, HANDLE input) {
    std::wstring commandLine = L"param_host.exe " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = screen;
    startup.hStdError = screen;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return GetLastError();
    return ExitCodeAtEnd(process);
}

// Everything the console's screen buffer shows, row after row.
std::wstring ScreenText(HANDLE screen) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(screen, &info)) return L"(no screen buffer information)";
    const DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwCursorPosition.Y + 1);
    std::wstring text(cells, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen, text.data(), cells, COORD{0, 0}, &read);
    text.resize(read);
    return text;
}

TEST(ParamHostConsole, ChineseTextsAndMicroSignShowAsTheyAre) {
    const OwnConsole console;
    ASSERT_TRUE(console.Created());
    const UniqueKernelHandle screen(OpenInheritable(L"CONOUT$"));
    const UniqueKernelHandle input(OpenInheritable(L"CONIN$"));
    ASSERT_NE(INVALID_HANDLE_VALUE, screen.Get());

    // The sample's parameter 3 is a state shown as "运行"; the check measures
    // the extension's speed in µs.
    EXPECT_EQ(0u, RunOnConsole(L"explain --frame \"7E 44 32 30 34 38 33 46 46 30 31 30 30 0D\" --start 10 --count 4 "
                               L"--hex --param-id 3 --explain-lib EngineeringUnits.dll",
                               screen.Get(), input.Get()));
    RunOnConsole(L"check EngineeringUnits.dll", screen.Get(), input.Get());
    const std::wstring shown = ScreenText(screen.Get());
    const std::string shownAscii(shown.begin(), shown.end());  // only its ASCII reads right
    EXPECT_NE(std::wstring::npos, shown.find(L"display text  \"运行\"")) << "shown:\n" << shownAscii;
    EXPECT_NE(std::wstring::npos, shown.find(L" µs per call")) << "µ not shown:\n" << shownAscii;
}

}  // namespace
