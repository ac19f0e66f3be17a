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

#include <cstdio>

using Microsoft::WRL::ComPtr;

namespace {

// The server path to register: a path with a blank in its short form, so
// that clients which split the command line at blanks still find the file.
// Without a usable short form the path is registered unchanged.
std::string RegisteredModulePath(const std::string& modulePath) {
    if (modulePath.find(' ') == std::string::npos) return modulePath;
    char shortPath[MAX_PATH];
    const DWORD length = GetShortPathNameA(modulePath.c_str(), shortPath, sizeof shortPath);
    if (length == 0 || length >= sizeof shortPath) return modulePath;
    return std::string(shortPath, length);
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
        if (!progId.empty()) {
            DeleteRegKey(scope, classKey + "\\ProgID");
            DeleteRegKey(scope, progId + "\\Clsid");
            DeleteRegKey(scope, progId);
        }
        DeleteRegKey(scope, serverKey);
        DeleteRegKey(scope, classKey);
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
        DeleteRegKey(scope, classKey + "\\TypeLib");
        DeleteRegKey(scope, classKey + "\\Version");
        TComObjectFactory::UpdateRegistry(registering, scope);
    }
}
