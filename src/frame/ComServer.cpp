#include "frame/ComServer.h"

#include "frame/ComClassManager.h"
#include "frame/ComObjectFactory.h"
#include "errors/HostResult.h"
#include "util/AnsiText.h"
#include "util/ModuleFileName.h"
#include "util/UniqueBstr.h"

using Microsoft::WRL::ComPtr;

namespace {

LONG Change(std::atomic<LONG>& count, TCountChange change) {
    return change == TCountChange::Up ? ++count : --count;
}

// Takes over the one reference that `owned` carries.
ComPtr<ITypeLib> Adopt(ITypeLib* owned) {
    ComPtr<ITypeLib> adopted;
    *adopted.ReleaseAndGetAddressOf() = owned;
    return adopted;
}

}  // namespace

TComServer::TComServer(HMODULE module) : FModule(module) {}

TComServer::~TComServer() {
    ComClassManager().ForEachFactory(this, [](TComObjectFactory& factory) { delete &factory; });
    Adopt(FTypeLib.exchange(nullptr));
}

LONG TComServer::ChangeObjectCount(TCountChange change) { return Change(FObjectCount, change); }

LONG TComServer::ChangeClassObjectCount(TCountChange change) { return Change(FClassObjectCount, change); }

std::wstring TComServer::ModulePath() const { return ModuleFileName(FModule); }

std::string TComServer::LibraryName() {
    UniqueBstr name;
    CheckPlatformResult(TypeLibrary()->GetDocumentation(-1, name.Receive(), nullptr, nullptr, nullptr));
    return AnsiFromBstr(name.Get());
}

ComPtr<ITypeLib> TComServer::HeldTypeLibrary() const {
    return ComPtr<ITypeLib>(FTypeLib.load());
}

ComPtr<ITypeLib> TComServer::TypeLibrary() {
    if (ComPtr<ITypeLib> held = HeldTypeLibrary()) return held;
    // The module's own file: LoadTypeLib reads its resource TYPELIB 1. It
    // looks the file up in a MAX_PATH buffer: a longer path is given in its
    // short form.
    ComPtr<ITypeLib> loaded;
    CheckPlatformResult(LoadTypeLib(PathWithinMaxPath(ModulePath()).c_str(), &loaded));
    ComPtr<ITypeLib> published = loaded;
    Adopt(FTypeLib.exchange(published.Detach()));  // a library published meanwhile is let go
    return loaded;
}
