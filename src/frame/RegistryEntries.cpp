#include "frame/RegistryEntries.h"

#include "errors/HostResult.h"
#include "errors/OleErrors.h"
#include "util/AnsiText.h"
#include "util/RegistryKey.h"
#include "util/SystemMemory.h"

#include <objbase.h>

#include <exception>

namespace {

[[noreturn]] void RaiseRegistrationError() { throw EOleRegistrationError("Error creating system registry entry"); }

[[noreturn]] void RaiseRemovalError(const std::string& key, LSTATUS error) {
    throw EOleSysError("Cannot remove the registry entry " + key, HRESULT_FROM_WIN32(error));
}

// The scope's classes root: HKEY_CLASSES_ROOT, or the current user's
// Software\Classes opened (created when missing) into `owner`; or the
// platform's error.
LSTATUS OpenClassesRoot(TRegistryScope scope, UniqueRegistryKey& owner, HKEY& root) noexcept {
    root = HKEY_CLASSES_ROOT;
    if (scope == TRegistryScope::Machine) return ERROR_SUCCESS;
    HKEY opened = nullptr;
    const LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr,
                                           REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &opened, nullptr);
    if (status != ERROR_SUCCESS) return status;
    owner.Reset(opened);
    root = opened;
    return ERROR_SUCCESS;
}

bool HasSubkeys(HKEY root, const std::wstring& key) noexcept {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    const UniqueRegistryKey owned(opened);
    DWORD subkeys = 0;
    return RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys > 0;
}

}  // namespace

void CreateRegKey(TRegistryScope scope, const std::string& key, const std::string& valueName,
                  const std::wstring& value) {
    UniqueRegistryKey rootOwner;
    HKEY root = nullptr;
    if (OpenClassesRoot(scope, rootOwner, root) != ERROR_SUCCESS) RaiseRegistrationError();
    HKEY opened = nullptr;
    if (RegCreateKeyExW(root, WideFromAnsi(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                        nullptr, &opened, nullptr) != ERROR_SUCCESS)
        RaiseRegistrationError();
    UniqueRegistryKey owned(opened);
    if (RegSetValueExW(owned.Get(), WideFromAnsi(valueName).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
        RaiseRegistrationError();
}

void CreateRegKey(TRegistryScope scope, const std::string& key, const std::string& valueName,
                  const std::string& value) {
    CreateRegKey(scope, key, valueName, WideFromAnsi(value));
}

TRegistryDeletion DeleteRegKey(TRegistryScope scope, const std::string& key) {
    UniqueRegistryKey rootOwner;
    HKEY root = nullptr;
    if (const LSTATUS status = OpenClassesRoot(scope, rootOwner, root); status != ERROR_SUCCESS)
        RaiseRemovalError(key, status);
    const std::wstring wideKey = WideFromAnsi(key);
    const LSTATUS status = RegDeleteKeyW(root, wideKey.c_str());
    if (status == ERROR_SUCCESS) return TRegistryDeletion::Removed;
    if (status == ERROR_FILE_NOT_FOUND) return TRegistryDeletion::Missing;
    // The platform refuses to delete a key that still has subkeys.
    if (status == ERROR_ACCESS_DENIED && HasSubkeys(root, wideKey)) return TRegistryDeletion::Kept;
    RaiseRemovalError(key, status);
}

void DeleteRegKeys(TRegistryScope scope, const std::vector<std::string>& keys) {
    std::exception_ptr firstFailure;
    for (const std::string& key : keys) {
        try {
            DeleteRegKey(scope, key);
        } catch (...) {
            if (!firstFailure) firstFailure = std::current_exception();
        }
    }
    if (firstFailure) std::rethrow_exception(firstFailure);
}

std::string GuidText(const GUID& guid) {
    wchar_t* text = nullptr;
    CheckPlatformResult(StringFromCLSID(guid, &text));
    const UniqueTaskMemory<wchar_t> owned(text);
    return AnsiFromWide(owned.Get());
}
