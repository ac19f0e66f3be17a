#pragma once
// One extension library slot of a transactor: the path the host put, the
// library loaded from it and the entry point found in that library.

#include "util/UniqueBstr.h"
#include "util/UniqueModule.h"

#include <windows.h>

class ExtensionSlot {
public:
    explicit ExtensionSlot(const char* entryPointName) noexcept : FEntryPointName(entryPointName) {}

    // Stores a new path: an unchanged path (compared untrimmed) does nothing;
    // otherwise the old library is freed and the new one loaded when the
    // trimmed path is not empty. A load or lookup failure leaves the slot
    // without an extension and is not reported.
    void PutPath(BSTR path);

    // A fresh copy of the path exactly as it was put.
    UniqueBstr CopyPath() const;
    // The path as it was put, valid until the next PutPath.
    std::wstring_view PathView() const noexcept { return FPath.View(); }

    // True when the path, trimmed, is not empty: the operation then goes
    // through the extension, whether or not it could be loaded.
    bool IsConfigured() const noexcept { return FConfigured; }

    // The entry point, or null when the library or the entry point is missing.
    FARPROC EntryPoint() const noexcept { return FModule ? FEntryPoint : nullptr; }

    void Unload() noexcept;

private:
    void Load();

    const char* FEntryPointName;
    UniqueBstr FPath;
    bool FConfigured = false;  // the trimmed path is not empty; asked on every call
    UniqueModule FModule;
    FARPROC FEntryPoint = nullptr;
};
