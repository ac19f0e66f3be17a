#include "transactor/ExtensionSlot.h"

#include "util/AnsiText.h"
#include "util/Trim.h"

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

void ExtensionSlot::Load() {
    const std::string path(TrimControl<char>(AnsiFromBstr(FPath.Get())));
    FModule.Reset(LoadLibraryA(path.c_str()));
    if (FModule) FEntryPoint = GetProcAddress(FModule.Get(), FEntryPointName);
}
