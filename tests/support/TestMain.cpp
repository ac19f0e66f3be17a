// Test programs run on a single-threaded apartment thread, as the host does,
// with the host-result hook installed as the DLL's start-up installs it.
#include "errors/HostResult.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    InstallHostResultHook();
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
