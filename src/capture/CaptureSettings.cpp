#include "capture/CaptureSettings.h"

#include "util/AnsiText.h"
#include "util/RegistryKey.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <optional>

namespace {

// The variable's value; an empty value is a value (capture off for this
// process, whatever the registry says), an absent variable none.
std::optional<std::wstring> Variable(const wchar_t* name) {
    wchar_t value[1024];
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetEnvironmentVariableW(name, value, std::size(value));
    if (length >= std::size(value) || (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND)) return std::nullopt;
    return std::wstring(value, length);
}

std::wstring RegistryText(HKEY key, const wchar_t* name) {
    wchar_t value[1024];
    DWORD size = sizeof value - sizeof(wchar_t), type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    value[size / sizeof(wchar_t)] = L'\0';
    if (type == REG_SZ) return value;
    wchar_t expanded[1024];
    const DWORD length = ExpandEnvironmentStringsW(value, expanded, std::size(expanded));
    return length == 0 || length > std::size(expanded) ? std::wstring() : std::wstring(expanded);
}

// A whole number of megabytes written in decimal digits alone, none when
// the text is anything else or beyond 32 bits.
std::optional<uint32_t> MegabytesOf(const std::wstring& text) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return std::nullopt;
    const unsigned long long value = std::wcstoull(text.c_str(), nullptr, 10);
    if (value > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>(value);
}

std::optional<uint32_t> RegistryNumber(HKEY key, const wchar_t* name) {
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

// Reads the parameter id list and checks the limit: a setting that is not
// understood leaves capture off and says so.
CaptureSettings Completed(CaptureSettings settings) {
    while (!settings.folder.empty() && (settings.folder.back() == L'\\' || settings.folder.back() == L'/'))
        settings.folder.pop_back();
    if (settings.folder.empty()) return settings;
    const auto ids = ParamIdList::Parse(AnsiFromWide(settings.paramIdsText));
    if (!ids) settings.problem = "ParamIds \"" + AnsiFromWide(settings.paramIdsText) + "\" is no list like 1-16,5000";
    if (settings.maxMb == 0) settings.problem = "MaxMB is 0";
    if (ids) settings.paramIds = *ids;
    return settings;
}

}  // namespace

CaptureSettings ReadCaptureSettings() {
    CaptureSettings settings;
    if (const auto reread = Variable(CaptureRereadVariable); reread && !reread->empty())
        settings.rereadMs = std::wcstoul(reread->c_str(), nullptr, 10);
    if (const auto folder = Variable(CaptureFolderVariable)) {
        settings.folder = *folder;
        const auto maxMbText = Variable(CaptureMaxMbVariable);
        const auto maxMb = maxMbText ? MegabytesOf(*maxMbText) : std::optional<uint32_t>(CaptureDefaultMaxMb);
        settings.maxMb = maxMb.value_or(0);
        settings.paramIdsText = Variable(CaptureParamIdsVariable).value_or(L"");
        settings = Completed(std::move(settings));
        if (!maxMb && !settings.folder.empty())
            settings.problem = "MaxMB \"" + AnsiFromWide(*maxMbText) + "\" is no whole number of megabytes";
        return settings;
    }
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, CaptureKeyPath, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return settings;
    const UniqueRegistryKey key(opened);
    settings.folder = RegistryText(key.Get(), L"Folder");
    settings.maxMb = RegistryNumber(key.Get(), L"MaxMB").value_or(CaptureDefaultMaxMb);
    settings.paramIdsText = RegistryText(key.Get(), L"ParamIds");
    return Completed(std::move(settings));
}
