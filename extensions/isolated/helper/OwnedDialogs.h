#pragma once
// While the extension's EditParam runs, every top-level window its thread
// creates without an owner gets the host's active window as its owner, so
// that its dialog stays in front of the host's window as one of the host's
// own would (the host keeps its window disabled meanwhile).
#include <windows.h>

class OwnedDialogs {
public:
    explicit OwnedDialogs(HWND owner);
    ~OwnedDialogs();
    OwnedDialogs(const OwnedDialogs&) = delete;
    OwnedDialogs& operator=(const OwnedDialogs&) = delete;

private:
    HHOOK FHook = nullptr;
};
