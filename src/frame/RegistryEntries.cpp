#include "frame/RegistryEntries.h"

#include "errors/HostResult.h"
#include "errors/OleErrors.h"
#include "util/AnsiText.h"
#include "util/RegistryKey.h"
#include "util/SystemMemory.h"

#include <objbase.h>

namespace {

[[noreturn]] void RaiseRegistrationError() { throw EOleRegistrationError("Error creating system registry entry"); }

}  // namespace

void CreateRegKey(const std::string& key, const std::string& valueName, const std::string& value) {
    HKEY opened = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        RaiseRegistrationError();
    UniqueRegistryKey owned(opened);
    if (RegSetValueExA(owned.Get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        RaiseRegistrationError();
}

void DeleteRegKey(const std::string& key) noexcept { RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str()); }

std::string GuidText(const GUID& guid) {
    wchar_t* text = nullptr;
    CheckPlatformResult(StringFromCLSID(guid, &text));
    const UniqueTaskMemory<wchar_t> owned(text);
    return AnsiFromWide(owned.Get());
}
