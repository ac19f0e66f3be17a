// An extension's EditParam dialog shown from the helper process behaves for
// the operator as one of the host's own: owned by the host's active window,
// which stays disabled while it is open, and the value comes back when the
// operator answers.
#include "isolated/HelperDialog.h"
#include "isolated/IsolatedCopy.h"
#include "isolated/IsolationHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using Microsoft::WRL::ComPtr;

namespace {

// The helper's dialog: a visible top-level window of another process whose
// title is the extension's.
HWND FindHelperDialog() {
    return FindDialogEdit([](DWORD process) { return process != GetCurrentProcessId(); });
}

struct SeenWhileOpen {
    std::atomic<bool> found{false};
    HWND owner = nullptr;
    bool hostEnabled = true;
};

TEST(IsolatedEdit, TheDialogIsOwnedByTheHostsWindowAndModalToIt) {
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, host);
    SetActiveWindow(host);
    const std::wstring copy = MakeIsolatedCopy("IsoDialog", {.library = "ExtDialogEdit.dll", .editTimeoutMs = 0});
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_EditLibrary, copy.c_str());

    SeenWhileOpen seen;
    std::thread operatorThread([&] {
        for (int attempt = 0; attempt < 300 && !seen.found; ++attempt) {
            if (HWND dialog = FindHelperDialog()) {
                seen.owner = GetWindow(dialog, GW_OWNER);
                seen.hostEnabled = IsWindowEnabled(host);
                seen.found = true;
                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            }
            Sleep(50);
        }
    });
    const HostView view = Operate(*transactor.Get(), Entry::Edit, 1);
    operatorThread.join();
    ASSERT_TRUE(seen.found) << "no dialog from the helper";
    EXPECT_EQ(host, seen.owner);
    EXPECT_FALSE(seen.hostEnabled) << "the host's window must be disabled while the dialog is open";
    EXPECT_TRUE(IsWindowEnabled(host)) << "and enabled again afterwards";
    EXPECT_EQ(GoodAnswer(Entry::Edit), view);
    DestroyWindow(host);
}

}  // namespace
