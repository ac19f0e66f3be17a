#include "run/DisplayCheck.h"

#include "util/WindowHandles.h"

#include <windows.h>

namespace {

bool WindowStationVisible() {
    USEROBJECTFLAGS flags{};
    HWINSTA station = GetProcessWindowStation();
    if (!station || !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr)) return false;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool EnvironmentNames(const wchar_t* variable) {
    wchar_t value[2];
    const DWORD length = GetEnvironmentVariableW(variable, value, 2);
    return length > 0;
}

// Whether a window can be created at all: without a display Wine creates none.
bool WindowsCanBeCreated() {
    const UniqueWindow trial(
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    return static_cast<bool>(trial);
}

}  // namespace

std::wstring DisplayProblem() {
    if (RunningUnderWine() && !EnvironmentNames(L"DISPLAY") && !EnvironmentNames(L"WAYLAND_DISPLAY"))
        return L"no display: DISPLAY is not set (start an X server or Xvfb, e.g. Xvfb :99 & DISPLAY=:99)";
    if (!WindowStationVisible())
        return L"no display: this process's window station is not interactive (a service or a remote job)";
    if (!WindowsCanBeCreated()) return L"no display: windows cannot be created (is DISPLAY an open display?)";
    return {};
}
