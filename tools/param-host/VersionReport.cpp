#include "VersionReport.h"

#include "common/JsonOutput.h"
#include "common/OutputFormat.h"
#include "common/VersionResource.h"

#include "contracts/OvixParamTransactor_TLB.h"
#include "util/ModuleFileName.h"

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cwchar>
#include <optional>

namespace {

std::wstring ProgramPath() { return ModuleFileName(nullptr); }

// The server path registered for the class (per machine, or per user where
// the platform merges the user's classes in); empty when not registered.
std::wstring RegisteredComponentPath() {
    wchar_t classId[40];
    StringFromGUID2(CLSID_ParamTransactor, classId, 40);
    const std::wstring key = std::wstring(L"CLSID\\") + classId + L"\\InprocServer32";
    // A path of any length: the size is asked first.
    DWORD size = 0;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::wstring path(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(path.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path.data(), &size) !=
        ERROR_SUCCESS)
        return {};
    path.resize(wcslen(path.c_str()));
    return path;
}

ordered_json JsonOrNull(const std::wstring& text) { return text.empty() ? ordered_json() : JsonValue(text); }

std::string Line(const char* label, const std::wstring& value) {
    char padded[32];
    std::snprintf(padded, sizeof padded, "%-21s", label);
    return std::string(padded).append(Utf8FromWide(value)).append("\n");
}

}  // namespace

std::string VersionReport(bool json) {
    const std::wstring own = VersionResourceNumber(ProgramPath());
    const std::wstring component = RegisteredComponentPath();
    const std::wstring componentVersion = component.empty() ? std::wstring() : VersionResourceNumber(component);
    if (json) {
        const ordered_json found = {{"path", JsonValue(component)}, {"version", JsonOrNull(componentVersion)}};
        return JsonOutput({{"paramHost", JsonOrNull(own)}, {"component", component.empty() ? ordered_json() : found}}) +
               "\n";
    }
    std::string text = Line("param_host", own.empty() ? L"(no version resource)" : own);
    if (component.empty()) return text + Line(OvixParamTransactorLibraryName, L"not registered");
    return text + Line(OvixParamTransactorLibraryName,
                       (componentVersion.empty() ? L"(no version resource)" : componentVersion) + L"  " + component);
}
