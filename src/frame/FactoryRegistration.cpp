// The class entries a factory writes and removes under HKEY_CLASSES_ROOT (or,
// for one user, under HKEY_CURRENT_USER\Software\Classes):
//   CLSID\{class}                          default: description
//   CLSID\{class}\InprocServer32           default: module path; ThreadingModel
//   <ProgID>                               default: description
//   <ProgID>\Clsid                         default: {class}
//   CLSID\{class}\ProgID                   default: <ProgID>
//   CLSID\{class}\Version, \TypeLib        typed factories: library version and identifier

#include "frame/LibraryAttributes.h"
#include "frame/RegistryEntries.h"
#include "frame/ComObjectFactory.h"
#include "frame/TypedComObjectFactory.h"
#include "util/ModuleFileName.h"

#include <cstdio>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

// The server path to register (UTF-16): in its short form when it has a
// blank, so that clients which split the command line at blanks still find
// the file, or when it is too long for the MAX_PATH buffers that clients
// (the platform's class loader among them) read it into. Without a short
// form the path is registered unchanged.
std::wstring RegisteredModulePath(const std::wstring& modulePath) {
    if (modulePath.find(L' ') != std::wstring::npos) return ShortPathOf(modulePath);
    return PathWithinMaxPath(modulePath);
}

// The text registered as "ThreadingModel"; empty for the single model, which writes nothing.
std::string ThreadingModelText(TThreadingModel model) {
    switch (model) {
        case TThreadingModel::Apartment: return "Apartment";
        case TThreadingModel::Free: return "Free";
        case TThreadingModel::Both: return "Both";
        case TThreadingModel::Neutral: return "Neutral";
        case TThreadingModel::Single: break;
    }
    return {};
}

std::string VersionText(const TLIBATTR& attributes) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d", attributes.wMajorVerNum, attributes.wMinorVerNum);
    return text;
}

std::string ClassKey(const CLSID& classId) { return "CLSID\\" + GuidText(classId); }

}  // namespace

void TComObjectFactory::UpdateRegistry(bool registering, TRegistryScope scope) {
    const std::string classId = GuidText(ClassID());
    const std::string progId = ProgID();
    const std::string classKey = ClassKey(ClassID());
    const std::string serverKey = classKey + "\\" + ComServer().InprocKeyName();
    if (registering) {
        CreateRegKey(scope, classKey, "", Description());
        CreateRegKey(scope, serverKey, "", RegisteredModulePath(ComServer().ModulePath()));
        const std::string threadingModel = ThreadingModelText(ThreadingModel());
        if (!threadingModel.empty() && ComServer().IsInprocServer())
            CreateRegKey(scope, serverKey, "ThreadingModel", threadingModel);
        if (!progId.empty()) {
            CreateRegKey(scope, progId, "", Description());
            CreateRegKey(scope, progId + "\\Clsid", "", classId);
            CreateRegKey(scope, classKey + "\\ProgID", "", progId);
        }
    } else {
        std::vector<std::string> keys;
        if (!progId.empty()) keys = {classKey + "\\ProgID", progId + "\\Clsid", progId};
        keys.insert(keys.end(), {serverKey, classKey});
        DeleteRegKeys(scope, keys);
    }
}

void TTypedComObjectFactory::UpdateRegistry(bool registering, TRegistryScope scope) {
    const std::string classKey = ClassKey(ClassID());
    if (registering) {
        TComObjectFactory::UpdateRegistry(registering, scope);
        ComPtr<ITypeLib> library = ComServer().TypeLibrary();
        const UniqueLibraryAttributes attributes = ReadLibraryAttributes(*library.Get());
        CreateRegKey(scope, classKey + "\\Version", "", VersionText(*attributes.Get()));
        CreateRegKey(scope, classKey + "\\TypeLib", "", GuidText(attributes->guid));
    } else {
        // The class's own entries go also when these could not.
        try {
            DeleteRegKeys(scope, {classKey + "\\TypeLib", classKey + "\\Version"});
        } catch (...) {
            TComObjectFactory::UpdateRegistry(registering, scope);
            throw;
        }
        TComObjectFactory::UpdateRegistry(registering, scope);
    }
}
