#include "transactor/ExtensionSlot.h"

#include "util/Trim.h"

#include <string>

void ExtensionSlot::PutPath(BSTR path) {
    UniqueBstr newPath = UniqueBstr::Copy({path ? path : L"", SysStringLen(path)});
    if (newPath.View() == FPath.View()) return;
    FPath = std::move(newPath);
    FConfigured = !TrimControl(FPath.View()).empty();
    Unload();
    if (FConfigured) Load();
}

UniqueBstr ExtensionSlot::CopyPath() const {
    return UniqueBstr::Copy(FPath.View());
}

void ExtensionSlot::Unload() noexcept {
    FEntryPoint = nullptr;
    FModule.Reset();
}

// The path is loaded as the host gave it (UTF-16), so a library in a folder
// outside the system code page loads too.
void ExtensionSlot::Load() {
    const std::wstring path(TrimControl(FPath.View()));
    FModule.Reset(LoadLibraryW(path.c_str()));
    if (FModule) FEntryPoint = GetProcAddress(FModule.Get(), FEntryPointName);
}
