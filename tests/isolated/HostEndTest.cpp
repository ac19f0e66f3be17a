// The helper ends with its host whatever it is doing: the host (a stand-in
// process) is ended while its call runs an extension that loops, and while
// the extension's EditParam dialog is open; within 2 s no helper of that
// host is left.
#include "isolated/HelperDialog.h"
#include "isolated/IsolatedCopy.h"

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include "util/KernelHandle.h"

#include <functional>
#include <string>

namespace {

constexpr DWORD HelperEndMs = 2000, PatienceMs = 60000;

UniqueKernelHandle StartStandIn(const std::wstring& copy, const wchar_t* entry) {
    std::wstring commandLine = L"isolation_host_stand_in.exe " + copy + L" " + entry;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &created))
        return UniqueKernelHandle();
    CloseHandle(created.hThread);
    return UniqueKernelHandle(created.hProcess);
}

// The helper process the stand-in started, or 0 while there is none.
DWORD HelperOf(DWORD host) {
    UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry))
        if (entry.th32ParentProcessID == host && _wcsicmp(entry.szExeFile, L"ParamExtensionHost.exe") == 0)
            return entry.th32ProcessID;
    return 0;
}

// Polls `condition` every 10 ms for at most PatienceMs.
bool Eventually(const std::function<bool()>& condition) {
    for (DWORD waited = 0; waited < PatienceMs; waited += 10) {
        if (condition()) return true;
        Sleep(10);
    }
    return false;
}

bool HelperShowsItsDialog(DWORD helper) {
    return FindDialogEdit([helper](DWORD process) { return process == helper; }) != nullptr;
}

// Starts the stand-in on `copy`, waits until `inCall` says its call is under
// way in the helper, ends the stand-in and expects the helper to end too.
void EndTheHostDuringItsCall(const std::wstring& copy, const wchar_t* entry,
                             const std::function<bool(HANDLE, DWORD)>& inCall) {
    UniqueKernelHandle host = StartStandIn(copy, entry);
    ASSERT_TRUE(host) << "isolation_host_stand_in.exe could not be started";
    DWORD helperId = 0;
    ASSERT_TRUE(Eventually([&] { return (helperId = HelperOf(GetProcessId(host.Get()))) != 0; })) << "no helper";
    UniqueKernelHandle helper(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, helperId));
    ASSERT_TRUE(helper);
    const bool running = Eventually([&] { return inCall(helper.Get(), helperId); });
    TerminateProcess(host.Get(), 9);
    WaitForSingleObject(host.Get(), INFINITE);
    ASSERT_TRUE(running) << "the call never got under way in the helper";
    const DWORD ended = WaitForSingleObject(helper.Get(), HelperEndMs);
    if (ended != WAIT_OBJECT_0) TerminateProcess(helper.Get(), 1);  // leave no helper to the other tests
    EXPECT_EQ(WAIT_OBJECT_0, ended) << "the helper outlived its host by 2 s";
}

TEST(HelperEndsWithItsHost, WhileTheExtensionLoops) {
    const std::wstring copy = MakeIsolatedCopy("IsoHostEndLoop", {.library = "ExtMisLoop.dll", .timeoutMs = 0});
    // The extension sets this event as its loop starts (Misbehaving.c).
    const std::wstring eventName = L"IsoHostEndLoop-" + std::to_wstring(GetCurrentProcessId());
    UniqueKernelHandle loopStarts(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_TRUE(loopStarts);
    SetEnvironmentVariableW(L"ISOLATION_TEST_LOOP_EVENT", eventName.c_str());
    EndTheHostDuringItsCall(copy, L"explain",
                            [&](HANDLE, DWORD) { return WaitForSingleObject(loopStarts.Get(), 0) == WAIT_OBJECT_0; });
    SetEnvironmentVariableW(L"ISOLATION_TEST_LOOP_EVENT", nullptr);
}

TEST(HelperEndsWithItsHost, WhileTheEditDialogIsOpen) {
    const std::wstring copy = MakeIsolatedCopy("IsoHostEndEdit", {.library = "ExtDialogEdit.dll", .editTimeoutMs = 0});
    EndTheHostDuringItsCall(copy, L"edit", [](HANDLE, DWORD helperId) { return HelperShowsItsDialog(helperId); });
}

}  // namespace
