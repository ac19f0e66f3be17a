// A class object whose object cannot be constructed: the error reaches the
// operator in the "DAX Error" box, the caller gets E_UNEXPECTED and the
// live-object count is back where it was. Run on a factory of the component's
// frame for a class that fails on purpose, with the real message box.
#include "frame/ComObject.h"
#include "frame/ComObjectFactory.h"
#include "frame/CreationErrorBox.h"
#include "util/Exception.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// 对象无法创建 ("the object cannot be created") in code page 936.
const char CannotCreate[] = "\xB6\xD4\xCF\xF3\xCE\xDE\xB7\xA8\xB4\xB4\xBD\xA8";

class TFailingObject : public TComObject {
public:
    void Initialize() override { throw Exception(CannotCreate); }
};

class CountingServer final : public TComServerObject {
public:
    LONG ChangeObjectCount(TCountChange change) override { return objects += change == TCountChange::Up ? 1 : -1; }
    LONG ChangeClassObjectCount(TCountChange change) override {
        return classObjects += change == TCountChange::Up ? 1 : -1;
    }
    std::string HelpFilePath() const override { return {}; }
    std::wstring ModulePath() const override { return {}; }
    std::string InprocKeyName() const override { return "InprocServer32"; }
    std::string LibraryName() override { return "Test"; }
    bool StartsSuspended() const override { return false; }
    Microsoft::WRL::ComPtr<ITypeLib> TypeLibrary() override { return nullptr; }
    void SetHelpFilePath(std::string) override {}
    bool IsInprocServer() const override { return true; }

    LONG objects = 0;
    LONG classObjects = 0;
};

// What the message box showed; the box is closed as soon as it is active.
struct ShownBox {
    std::string caption;
    std::string text;
};
ShownBox Shown;

BOOL CALLBACK ReadStaticText(HWND child, LPARAM) {
    char className[32] = {};
    char text[256] = {};
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, text, sizeof text);
    if (lstrcmpiA(className, "Static") == 0 && text[0]) Shown.text = text;
    return TRUE;
}

LRESULT CALLBACK CloseActivatedBox(int code, WPARAM wParam, LPARAM lParam) {
    const HWND box = reinterpret_cast<HWND>(wParam);
    char className[32] = {};
    if (code == HCBT_ACTIVATE && GetClassNameA(box, className, sizeof className) &&
        lstrcmpA(className, "#32770") == 0) {  // a dialog: the message box
        char caption[64] = {};
        GetWindowTextA(box, caption, sizeof caption);
        Shown.caption = caption;
        EnumChildWindows(box, ReadStaticText, 0);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(CreationError, ShowsDaxErrorBoxAndReturnsUnexpected) {
    CountingServer server;
    const TComObjectClass failingClass = ComObjectClassOf<TFailingObject>("TFailingObject");
    const CLSID classId = {0x6E1F0C52, 0x1D7B, 0x4C57, {0x9A, 0x31, 0x52, 0x0B, 0x8E, 0x44, 0x17, 0xC9}};
    TComObjectFactory factory(server, failingClass, classId, "Failing", "Failing", TClassInstancing::MultiInstance,
                              TThreadingModel::Apartment);

    const HHOOK hook = SetWindowsHookExA(WH_CBT, CloseActivatedBox, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    void* object = reinterpret_cast<void*>(1);
    const HRESULT result = factory.CreateInstance(nullptr, IID_IUnknown, &object);
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(E_UNEXPECTED, result);
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(0, server.objects);
    EXPECT_EQ("DAX Error", Shown.caption);
    EXPECT_EQ(std::string(CannotCreate) + ".", Shown.text);
}

TEST(CreationError, MessageIsClosedWithAPeriodAfterCharactersAboveIt) {
    EXPECT_EQ("Broken.", WithClosingPeriod("Broken"));
    EXPECT_EQ("Broken.", WithClosingPeriod("Broken."));
    EXPECT_EQ("Broken!", WithClosingPeriod("Broken!"));  // "!" sorts below "."
    EXPECT_EQ("Broken ", WithClosingPeriod("Broken "));
    EXPECT_EQ("", WithClosingPeriod(""));
    EXPECT_EQ(std::string(CannotCreate) + ".", WithClosingPeriod(CannotCreate));
}

}  // namespace
