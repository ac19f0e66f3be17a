#include "Operator.h"

#include "util/KernelHandle.h"

#include <gtest/gtest.h>

#include <exception>
#include <thread>
#include <vector>

namespace {

// Only a safety net against a hanging test: waits normally end long before.
constexpr DWORD PatienceMilliseconds = 20000;

struct WindowSearch {
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchOwnWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    if (Operator::Text(window) != search.caption) return TRUE;
    search.found = window;
    return FALSE;
}

BOOL CALLBACK CollectOwnWindow(HWND window, LPARAM context) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

}  // namespace

void Operator::Run(const std::function<void(Operator&)>& script, const std::function<void()>& call) {
    Operator person(GetCurrentThreadId());
    std::thread operatorThread([&] {
        script(person);
        person.CloseLeftovers();
    });
    std::exception_ptr raised;
    try {
        call();
    } catch (...) {
        raised = std::current_exception();
    }
    person.FCallReturned = true;
    operatorThread.join();
    if (raised) std::rethrow_exception(raised);
}

bool Operator::WaitUntil(const std::function<bool()>& condition) const {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (FCallReturned || GetTickCount() - start > PatienceMilliseconds) return false;
        Sleep(10);
    }
    return true;
}

HWND Operator::WaitForWindow(const wchar_t* caption) {
    HWND window = nullptr;
    if (!WaitUntil([&] { return (window = FindOwnWindow(caption)) != nullptr; }))
        ADD_FAILURE() << "no window appeared with this caption";
    return window;
}

void Operator::WaitUntilGone(HWND window) {
    if (!WaitUntil([&] { return !IsWindow(window); })) ADD_FAILURE() << "the window did not close";
}

void Operator::CloseLeftovers() {
    WaitUntil([this] { return FCallReturned.load(); });
    if (FCallReturned) return;
    ADD_FAILURE() << "the call under test did not return; closing its windows";
    while (!FCallReturned) {
        std::vector<HWND> windows;
        EnumWindows(CollectOwnWindow, reinterpret_cast<LPARAM>(&windows));
        for (HWND window : windows) {
            PostMessageW(window, WM_COMMAND, IDOK, 0);
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        Sleep(100);
    }
}

HWND Operator::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(FThreadUnderTest, &info);
    return info.hwndFocus;
}

HWND Operator::FindOwnWindow(const wchar_t* caption) {
    WindowSearch search{caption, nullptr};
    EnumWindows(MatchOwnWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Operator::Control(HWND parent, const wchar_t* windowClass, const wchar_t* caption) {
    return FindWindowExW(parent, nullptr, windowClass, caption);
}

std::wstring Operator::Text(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

RECT Operator::BoundsInParent(HWND control) {
    RECT bounds;
    GetWindowRect(control, &bounds);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

std::wstring Operator::MessageText(HWND box) {
    for (HWND text = Control(box, L"Static"); text; text = FindWindowExW(box, text, L"Static", nullptr))
        if (!Text(text).empty()) return Text(text);
    return {};
}

HICON Operator::MessageIcon(HWND box) {
    for (HWND icon = Control(box, L"Static"); icon; icon = FindWindowExW(box, icon, L"Static", nullptr))
        if ((GetWindowLongW(icon, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0));
    return nullptr;
}

void Operator::Type(HWND control, std::wstring_view characters) {
    for (wchar_t character : characters) SendMessageW(control, WM_CHAR, character, 1);
}

void Operator::PressKey(HWND control, WPARAM key) {
    const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(control, WM_KEYDOWN, key, scanCode | 1);
    PostMessageW(control, WM_KEYUP, key, scanCode | 1 | (3u << 30));
}

void Operator::Dismiss(HWND box) {
    HWND button = Control(box, L"Button");
    EXPECT_TRUE(button != nullptr && Control(box, L"Button") == button && !FindWindowExW(box, button, L"Button", nullptr))
        << "a message box with one button";
    Click(button);
    WaitUntilGone(box);
}

// ImageMagick's import, started through Wine; Wine does not wait for Unix
// programs, so the picture is taken under a temporary name and renamed when
// complete, and the file's arrival is awaited.
void Operator::Screenshot(HWND window, const char* fileName) const {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sync(window);
    char buildFolder[MAX_PATH] = {};
    GetFullPathNameA("..", MAX_PATH, buildFolder, nullptr);
    const std::string picture = std::string(buildFolder) + "\\" + fileName;
    DeleteFileA(picture.c_str());
    std::string unixPicture = picture.substr(2);  // drive Z: is the root
    for (char& c : unixPicture)
        if (c == '\\') c = '/';
    std::string command = "Z:\\bin\\sh -c \"import -window root " + unixPicture + ".part.png && mv " + unixPicture +
                          ".part.png " + unixPicture + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &child))
        << "cannot run ImageMagick's import: " << GetLastError();
    const UniqueKernelHandle process(child.hProcess), thread(child.hThread);
    EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA(picture.c_str()) != INVALID_FILE_ATTRIBUTES; }))
        << "no screenshot " << fileName;
}
