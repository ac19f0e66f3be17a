// The parts of hosting an extension in a process of its own that are more
// than plumbing: lent bytes that end at a page no one may touch, handle
// values on a command line, and the checker's child ending with the checker
// whatever its library does.
#include "childprocess/EndingNames.h"
#include "guard/FaultGuard.h"
#include "outofprocess/GuardedPages.h"
#include "outofprocess/HandleArgument.h"
#include "util/KernelHandle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

size_t PageSize() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return system.dwPageSize;
}

// The code of the exception a one-byte write at `at` raised; 0 when none.
DWORD FaultOfWriteAt(char* at) {
    auto write = [at]() noexcept -> int32_t {
        *static_cast<volatile char*>(at) = 'x';
        return 0;
    };
    const GuardedCallOutcome outcome = RunUnderFaultGuard(write);
    return outcome.completed ? 0 : static_cast<DWORD>(outcome.result);
}

TEST(GuardedPages, EveryByteIsZeroAndWritableAndTheFirstBytePastTheEndFaults) {
    const size_t page = PageSize();
    for (const size_t size : {size_t{1}, page - 1, page, page + 1, 2 * page, 2 * page + 7}) {
        const GuardedPages pages(size);
        ASSERT_TRUE(pages.Ready()) << size;
        ASSERT_EQ(pages.Size(), size);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(pages.Data() + size) % page, 0u) << size;
        EXPECT_TRUE(std::all_of(pages.Data(), pages.Data() + size, [](char byte) { return byte == 0; })) << size;
        EXPECT_EQ(FaultOfWriteAt(pages.Data()), 0u) << size;
        EXPECT_EQ(FaultOfWriteAt(pages.Data() + size - 1), 0u) << size;
        EXPECT_EQ(FaultOfWriteAt(pages.Data() + size), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION)) << size;
    }
}

TEST(HandleArgument, EveryValueComesBackAndNothingElseIsAHandle) {
    std::mt19937 random(20261208);
    std::vector<uint32_t> values{1, 4, 0x7FC, 0xFFFFFFFF};
    for (int i = 0; i < 2000; ++i) values.push_back(static_cast<uint32_t>(random()) | 1);
    for (const uint32_t value : values) {
        const auto handle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
        EXPECT_EQ(HandleArgument(handle), std::to_wstring(value));
        EXPECT_EQ(HandleFromArgument(HandleArgument(handle).c_str()), handle) << value;
    }
    for (const wchar_t* text : {L"", L"-4", L"+4", L" 4", L"4 ", L"0x10", L"4a", L"4294967296", L"12345678901"})
        EXPECT_EQ(HandleFromArgument(text), nullptr) << text;
}

std::wstring BesideThisProgram(const wchar_t* name) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

// The first process `parent` started from `program` (a console program's
// console host is a child as well), once there is one, while `parent` runs.
UniqueKernelHandle FirstChildOf(DWORD parent, HANDLE parentProcess, const wchar_t* program) {
    for (const ULONGLONG deadline = GetTickCount64() + 60000; GetTickCount64() < deadline; Sleep(5)) {
        if (WaitForSingleObject(parentProcess, 0) == WAIT_OBJECT_0) break;
        const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry))
            if (entry.th32ParentProcessID == parent && _wcsicmp(entry.szExeFile, program) == 0)
                return UniqueKernelHandle(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                                                      FALSE, entry.th32ProcessID));
    }
    return {};
}

// Waits until process `id` has `module` in its list of modules (a library is
// listed before its DllMain runs), while `checker` runs.
bool LoadsModule(DWORD id, const wchar_t* module, HANDLE checker) {
    for (const ULONGLONG deadline = GetTickCount64() + 60000; GetTickCount64() < deadline; Sleep(5)) {
        if (WaitForSingleObject(checker, 0) == WAIT_OBJECT_0) return false;
        const HANDLE taken = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, id);
        if (taken == INVALID_HANDLE_VALUE) continue;
        const UniqueKernelHandle snapshot(taken);
        MODULEENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Module32FirstW(snapshot.Get(), &entry); more; more = Module32NextW(snapshot.Get(), &entry))
            if (_wcsicmp(entry.szModule, module) == 0) return true;
    }
    return false;
}

// The library's DllMain never returns: only the checker's end can end the
// child now, and the child's exit code tells that its own watch ended it
// rather than the checker (which ends a silent child after 5 s).
TEST(CheckersChild, EndsWhenTheCheckerEndsWhileItsLibraryNeverLoads) {
    const std::wstring host = BesideThisProgram(L"param_host.exe");
    std::wstring line = L"\"" + host + L"\" check CheckLoadForever.dll";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(host.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &startup, &started));
    const UniqueKernelHandle checker(started.hProcess), thread(started.hThread);
    const UniqueKernelHandle child = FirstChildOf(started.dwProcessId, checker.Get(), L"param_host.exe");
    // Its library's load under way: the child runs its own code (a child
    // still in the system's start-up when its starter ends is beyond it).
    const bool loading = child && LoadsModule(GetProcessId(child.Get()), L"CheckLoadForever.dll", checker.Get());
    TerminateProcess(checker.Get(), 1);
    ASSERT_TRUE(child) << "the checker started no child";
    EXPECT_TRUE(loading) << "the child did not load its library";
    const DWORD waited = WaitForSingleObject(child.Get(), 60000);  // it ends at once: this is the bound of a failure
    if (waited != WAIT_OBJECT_0) TerminateProcess(child.Get(), 1);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the child outlived the checker";
    DWORD code = 0;
    GetExitCodeProcess(child.Get(), &code);
    EXPECT_EQ(code, static_cast<DWORD>(StarterEndedExitCode));
}

}  // namespace
