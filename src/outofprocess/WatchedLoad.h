#pragma once
// Loads an extension's library on this thread and notes the last exception
// raised on it while the library loads: the loader catches one that escapes
// DllMain, whatever its code (a breakpoint, an informational or a custom
// one), and reports only that the load failed (or an error of its own making
// from the exception's code). A debug print that DllMain handled is noted
// too: the note counts only when the load failed.
#include "util/UniqueModule.h"

#include <windows.h>

struct LibraryLoad {
    UniqueModule module;
    DWORD error = 0;   // GetLastError() of a failed load
    DWORD raised = 0;  // the last exception raised on the loading thread, 0 for none
};

// Notes the exceptions of this thread from construction to End().
class LoadExceptionNote {
public:
    LoadExceptionNote() noexcept;
    ~LoadExceptionNote() { End(); }
    LoadExceptionNote(const LoadExceptionNote&) = delete;
    LoadExceptionNote& operator=(const LoadExceptionNote&) = delete;

    // Stops noting (this frees a handler: it may take the heap's lock);
    // returns the last exception noted.
    DWORD End() noexcept;

private:
    void* FHandler = nullptr;
};

// `returned(module)` runs the moment the loader returns, before anything
// that may take the heap's lock: a stall after it is not DllMain's.
template <typename Returned>
LibraryLoad LoadLibraryWatched(const wchar_t* path, Returned&& returned) {
    LoadExceptionNote note;
    LibraryLoad load;
    load.module.Reset(LoadLibraryW(path));
    load.error = load.module ? 0 : GetLastError();
    returned(load.module.Get());
    load.raised = note.End();
    return load;
}
