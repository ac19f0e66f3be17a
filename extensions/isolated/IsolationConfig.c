/* Reading the [extension] section. GetPrivateProfileString does not strip a
 * comment after a value, so a value ends at its first ';' and is trimmed. */
#include "IsolationConfig.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wctype.h>

static void TrimValue(wchar_t* value) {
    wchar_t* comment = wcschr(value, L';');
    if (comment) *comment = 0;
    size_t length = wcslen(value);
    while (length > 0 && iswspace(value[length - 1])) value[--length] = 0;
    size_t lead = 0;
    while (value[lead] && iswspace(value[lead])) ++lead;
    memmove(value, value + lead, (length - lead + 1) * sizeof(wchar_t));
}

static void ReadValue(const IsolationConfig* config, const wchar_t* key, wchar_t* value, DWORD capacity) {
    GetPrivateProfileStringW(L"extension", key, L"", value, capacity, config->iniPath);
    TrimValue(value);
}

/* Each numeric key: its name, the range it accepts and its default. */
typedef struct NumericKey {
    const wchar_t* name;
    uint32_t lowest, highest, fallback;
} NumericKey;

static const NumericKey NumericKeys[IsolationKeyCount] = {
    [KeyTimeoutMs] = {L"timeout_ms", 0, 600000, 500},
    [KeyEditTimeoutMs] = {L"edit_timeout_ms", 0, 86400000, 0},
    [KeyLoadTimeoutMs] = {L"load_timeout_ms", 1000, 600000, 10000},
    [KeyRestarts] = {L"restarts", 0, MostRestarts, 3},
    [KeyMemoryMb] = {L"memory_mb", 0, 4095, 512},
    [KeyLogKb] = {L"log_kb", 16, 1048576, 1024},
};

/* The most digits a number of any key is written with, leading zeros
 * included: as many as the largest 32-bit number has. */
enum { MostDigits = 10 };

/* Decimal digits only, within the key's range: no sign, no blank inside. */
static int ParseNumber(const wchar_t* value, const NumericKey* key, uint32_t* number) {
    if (!value[0] || wcslen(value) > MostDigits) return 0;
    uint64_t parsed = 0;
    for (const wchar_t* digit = value; *digit; ++digit) {
        if (*digit < L'0' || *digit > L'9') return 0;
        parsed = parsed * 10 + (uint64_t)(*digit - L'0');
        if (parsed > key->highest) return 0;
    }
    if (parsed < key->lowest) return 0;
    *number = (uint32_t)parsed;
    return 1;
}

static void Refuse(IsolationConfig* config, enum IsolationKey index, const wchar_t* value) {
    const NumericKey* key = &NumericKeys[index];
    // A long value is shown by its start.
    enum { ShownUnits = 24 };
    const int length = (int)wcslen(value), kept = length > ShownUnits ? ShownUnits : length;
    char shown[4 * ShownUnits + 8];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, value, kept, shown, sizeof shown - 8, NULL, NULL);
    if (bytes <= 0 && kept > 0)
        strcpy(shown, "(unreadable)");
    else
        strcpy(shown + (bytes > 0 ? bytes : 0), length > kept ? "..." : "");
    RefusedValue* refused = &config->refused[config->refusedCount++];
    refused->key = index;
    snprintf(refused->text, sizeof refused->text,
             "%ls = \"%s\" in the .ini is not a whole number from %lu to %lu; the default %lu is used", key->name,
             shown, (unsigned long)key->lowest, (unsigned long)key->highest, (unsigned long)key->fallback);
}

/* The key's number; its default when the key is missing, or when its value
 * is refused (then noted in config->refused). */
static uint32_t ReadNumber(IsolationConfig* config, enum IsolationKey index) {
    const NumericKey* key = &NumericKeys[index];
    static const wchar_t Missing[] = L"\x01";
    // Room for any value a person writes: one that fills it is refused, never cut.
    enum { ValueCapacity = 1024 };
    wchar_t value[ValueCapacity];
    const DWORD length = GetPrivateProfileStringW(L"extension", key->name, Missing, value, ValueCapacity, config->iniPath);
    if (wcscmp(value, Missing) == 0) return key->fallback;
    TrimValue(value);
    uint32_t number = key->fallback;
    if (length >= ValueCapacity - 1 || !ParseNumber(value, key, &number)) {
        number = key->fallback;
        Refuse(config, index, value);
    }
    return number;
}

/* `name` relative to the folder of `base` (a file path), or as it is when absolute. */
static void PathBeside(const wchar_t* base, const wchar_t* name, wchar_t* path) {
    const int absolute = name[0] == L'\\' || name[0] == L'/' || (name[0] && name[1] == L':');
    wchar_t joined[IsolationPathCapacity];
    if (absolute) {
        wcsncpy(joined, name, IsolationPathCapacity - 1);
        joined[IsolationPathCapacity - 1] = 0;
    } else {
        wcscpy(joined, base);
        wchar_t* slash = wcsrchr(joined, L'\\');
        size_t folder = slash ? (size_t)(slash - joined) + 1 : 0;
        joined[folder] = 0;
        wcsncat(joined, name, IsolationPathCapacity - 1 - folder);
    }
    if (!GetFullPathNameW(joined, IsolationPathCapacity, path, NULL)) wcscpy(path, joined);
}

/* The own path with its extension replaced by `extension` (".ini", ".log"). */
static void OwnPathWith(const wchar_t* own, const wchar_t* extension, wchar_t* path) {
    wcscpy(path, own);
    wchar_t* dot = wcsrchr(path, L'.');
    if (!dot || wcschr(dot, L'\\')) dot = path + wcslen(path);
    wcscpy(dot, extension);
}

static const wchar_t* FileName(const wchar_t* path) {
    const wchar_t* slash = wcsrchr(path, L'\\');
    return slash ? slash + 1 : path;
}

/* The default log: <base name>.log next to the .ini, and when that folder
 * cannot be written, in the user's temporary folder. */
static void DefaultLogPaths(IsolationConfig* config) {
    OwnPathWith(config->iniPath, L".log", config->logPath);
    wchar_t* path = config->fallbackLogPath;
    wchar_t temporary[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
    if (length == 0 || length > MAX_PATH) return;
    wchar_t name[IsolationPathCapacity];
    OwnPathWith(FileName(config->iniPath), L".log", name);
    wcscpy(path, temporary);
    wcsncat(path, name, IsolationPathCapacity - 1 - wcslen(path));
}

void ReadIsolationConfig(void* module, IsolationConfig* config) {
    wchar_t own[IsolationPathCapacity];
    const DWORD length = GetModuleFileNameW((HMODULE)module, own, IsolationPathCapacity);
    own[length < IsolationPathCapacity ? length : IsolationPathCapacity - 1] = 0;
    ReadIsolationConfigOf(own, config);
}

void ReadIsolationConfigOf(const wchar_t* own, IsolationConfig* config) {
    OwnPathWith(own, L".ini", config->iniPath);
    PathBeside(own, L"ParamExtensionHost.exe", config->helperPath);

    wchar_t value[IsolationPathCapacity];
    ReadValue(config, L"library", value, IsolationPathCapacity);
    config->library[0] = 0;
    if (value[0]) PathBeside(config->iniPath, value, config->library);
    wcsncpy(config->libraryName, value[0] ? FileName(config->library) : L"(no library)", 259);
    config->libraryName[259] = 0;

    config->refusedCount = 0;
    config->timeoutMs = ReadNumber(config, KeyTimeoutMs);
    config->editTimeoutMs = ReadNumber(config, KeyEditTimeoutMs);
    config->loadTimeoutMs = ReadNumber(config, KeyLoadTimeoutMs);
    config->restarts = ReadNumber(config, KeyRestarts);
    config->memoryMb = ReadNumber(config, KeyMemoryMb);
    config->logKb = ReadNumber(config, KeyLogKb);

    ReadValue(config, L"log", value, IsolationPathCapacity);
    config->fallbackLogPath[0] = 0;
    if (value[0])
        PathBeside(config->iniPath, value, config->logPath);
    else
        DefaultLogPaths(config);
}
