#include "frame/RegistryEntries.h"

#include "errors/HostResult.h"
#include "errors/OleErrors.h"
#include "util/AnsiText.h"
#include "util/RegistryKey.h"
#include "util/SystemMemory.h"

#include <objbase.h>

namespace {

[[noreturn]] void RaiseRegistrationError() { throw EOleRegistrationError("Error creating system registry entry"); }

// The scope's classes root: HKEY_CLASSES_ROOT, or the current user's
// Software\Classes opened (created when missing) into `owner`; null when it
// cannot be opened.
HKEY OpenClassesRoot(TRegistryScope scope, UniqueRegistryKey& owner) noexcept {
    if (scope == TRegistryScope::Machine) return HKEY_CLASSES_ROOT;
    HKEY opened = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Classes", 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return nullptr;
    owner.Reset(opened);
    return opened;
}

}  // namespace

void CreateRegKey(TRegistryScope scope, const std::string& key, const std::string& valueName,
                  const std::string& value) {
    UniqueRegistryKey rootOwner;
    const HKEY root = OpenClassesRoot(scope, rootOwner);
    if (!root) RaiseRegistrationError();
    HKEY opened = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        RaiseRegistrationError();
    UniqueRegistryKey owned(opened);
    if (RegSetValueExA(owned.Get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        RaiseRegistrationError();
}

void DeleteRegKey(TRegistryScope scope, const std::string& key) noexcept {
    UniqueRegistryKey rootOwner;
    if (const HKEY root = OpenClassesRoot(scope, rootOwner)) RegDeleteKeyA(root, key.c_str());
}

std::string GuidText(const GUID& guid) {
    wchar_t* text = nullptr;
    CheckPlatformResult(StringFromCLSID(guid, &text));
    const UniqueTaskMemory<wchar_t> owned(text);
    return AnsiFromWide(owned.Get());
}
