// Writes the installer's registry rows for a COM server DLL from what the
// DLL's own registration writes, so that the two cannot differ:
//   registration_rows.exe <server DLL> <host type library> <file id> <folder property> <output .wxi>
// The DLL's DllRegisterServer runs with HKEY_CLASSES_ROOT redirected to a
// scratch key of the current user; every value it left there becomes one
// WiX RegistryValue row. The DLL's path in a value becomes [#<file id>]
// ([!<file id>] for its short form) and its folder [<folder property>], so
// the rows point at the installed file. Nothing of the machine's own
// registry is changed. The host's type library, which the DLL needs to
// start, is registered in a second scratch key for the DLL's load only.
// Exit status: 0 written, 1 the capture failed (the reason on stderr), 2 bad usage.

#include "util/ModuleFileName.h"
#include "util/RegistryKey.h"
#include "util/UniqueModule.h"

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

const wchar_t ScratchKey[] = L"Software\\OvixParamTransactor registration capture";

[[noreturn]] void Fail(const std::string& step, long code) {
    char text[32];
    std::snprintf(text, sizeof text, ": error 0x%08lX", static_cast<unsigned long>(code));
    throw std::runtime_error(step + text);
}

void CheckStatus(LSTATUS status, const std::string& step) {
    if (status != ERROR_SUCCESS) Fail(step, status);
}

void CheckResult(HRESULT result, const std::string& step) {
    if (FAILED(result)) Fail(step, result);
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string converted(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), converted.data(), size, nullptr,
                        nullptr);
    return converted;
}

std::wstring Lower(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Of any length: the tool runs wherever the build tree is.
std::wstring FullPath(const std::wstring& path) {
    const DWORD room = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (room == 0) Fail("GetFullPathName", GetLastError());
    std::wstring full(room, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), room, full.data(), nullptr);
    if (length == 0 || length >= room) Fail("GetFullPathName", GetLastError());
    full.resize(length);
    return full;
}

// A fresh key under the current user's scratch key (not volatile: the registration
// creates lasting subkeys, which a volatile key cannot hold). Deleted again at the end.
UniqueRegistryKey CreateScratchKey(const std::wstring& name) {
    const std::wstring path = std::wstring(ScratchKey) + L"\\" + name;
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    HKEY created = nullptr;
    CheckStatus(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                nullptr, &created, nullptr),
                "creating the scratch key");
    return UniqueRegistryKey(created);
}

// HKEY_CLASSES_ROOT redirected to a key for as long as this lives.
class ClassesRootRedirection {
public:
    explicit ClassesRootRedirection(HKEY target) {
        CheckStatus(RegOverridePredefKey(HKEY_CLASSES_ROOT, target), "RegOverridePredefKey");
    }
    ClassesRootRedirection(const ClassesRootRedirection&) = delete;
    ClassesRootRedirection& operator=(const ClassesRootRedirection&) = delete;
    ~ClassesRootRedirection() { RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr); }
};

class ComApartment {
public:
    ComApartment() { CheckResult(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx"); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() { CoUninitialize(); }
};

void RegisterHostLibrary(const std::wstring& file) {
    ComPtr<ITypeLib> library;
    CheckResult(LoadTypeLibEx(file.c_str(), REGKIND_NONE, &library), "loading the host type library");
    std::wstring path = FullPath(file);
    CheckResult(RegisterTypeLib(library.Get(), path.data(), nullptr), "registering the host type library");
}

struct TRegistryRow {
    std::wstring Key;
    std::wstring Name;
    std::wstring Value;
};

// Every value under `key`, its subkeys' first, keys named relative to the root.
void CollectRows(HKEY key, const std::wstring& path, std::vector<TRegistryRow>& rows) {
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[2048];
        DWORD dataSize = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LSTATUS status = RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) break;
        CheckStatus(status, "reading a value of " + Utf8(path));
        if (type != REG_SZ) throw std::runtime_error("a value of " + Utf8(path) + " is not a string");
        data[dataSize] = data[dataSize + 1] = 0;
        rows.push_back({path, std::wstring(name, nameLength), reinterpret_cast<const wchar_t*>(data)});
    }
    bool hasSubkeys = false;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        const LSTATUS status = RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        CheckStatus(status, "reading a subkey of " + Utf8(path));
        hasSubkeys = true;
        const std::wstring subkeyPath = path.empty() ? name : path + L"\\" + name;
        HKEY opened = nullptr;
        CheckStatus(RegOpenKeyExW(key, name, 0, KEY_READ, &opened), "opening " + Utf8(subkeyPath));
        const UniqueRegistryKey subkey(opened);
        CollectRows(subkey.Get(), subkeyPath, rows);
    }
    // Installer rows are values: a key with neither values nor subkeys would be lost.
    if (!path.empty() && !hasSubkeys && std::none_of(rows.begin(), rows.end(), [&](const TRegistryRow& row) {
            return row.Key == path;
        }))
        throw std::runtime_error("the registration writes the empty key " + Utf8(path));
}

// The DLL's paths as the installer's formatted references.
class TPathReferences {
public:
    TPathReferences(const std::wstring& dll, const std::wstring& fileId, const std::wstring& folderProperty)
        : FReplacements{{dll, L"[#" + fileId + L"]"},
                        {ShortPathOf(dll), L"[!" + fileId + L"]"},
                        {FolderOf(dll), L"[" + folderProperty + L"]"}},
          FFolders{Lower(FolderOf(dll)), Lower(FolderOf(ShortPathOf(dll)))} {}

    std::wstring Reference(const TRegistryRow& row) const {
        for (const auto& [path, reference] : FReplacements)
            if (Lower(row.Value) == Lower(path)) return reference;
        const std::wstring value = Lower(row.Value);
        for (const std::wstring& folder : FFolders)
            if (value.find(folder) != std::wstring::npos)
                throw std::runtime_error("unexpected path in " + Utf8(row.Key) + " " + Utf8(row.Name) + ": " +
                                         Utf8(row.Value));
        if (row.Value.find_first_of(L"[]") != std::wstring::npos || row.Value.starts_with(L"#"))
            throw std::runtime_error("a value the installer would read as formatted text: " + Utf8(row.Value));
        return row.Value;
    }

private:
    std::vector<std::pair<std::wstring, std::wstring>> FReplacements;
    std::vector<std::wstring> FFolders;
};

std::vector<TRegistryRow> CaptureRegistration(const std::wstring& dll, const std::wstring& hostLibrary) {
    const ComApartment apartment;
    const UniqueRegistryKey hostRoot = CreateScratchKey(L"host");
    const UniqueRegistryKey capturedRoot = CreateScratchKey(L"component");
    std::vector<TRegistryRow> rows;
    {
        const ClassesRootRedirection toHost(hostRoot.Get());
        RegisterHostLibrary(hostLibrary);
        const UniqueModule server(LoadLibraryW(dll.c_str()));
        if (!server) Fail("loading " + Utf8(dll), GetLastError());
        using RegisterServerFunction = HRESULT(STDAPICALLTYPE*)();
        const auto registerServer = reinterpret_cast<RegisterServerFunction>(
            reinterpret_cast<void*>(GetProcAddress(server.Get(), "DllRegisterServer")));
        if (!registerServer) throw std::runtime_error(Utf8(dll) + " has no DllRegisterServer");
        const ClassesRootRedirection toCapture(capturedRoot.Get());
        CheckResult(registerServer(), "DllRegisterServer");
    }
    CollectRows(capturedRoot.Get(), L"", rows);
    RegDeleteTreeW(HKEY_CURRENT_USER, ScratchKey);
    if (rows.empty()) throw std::runtime_error("DllRegisterServer wrote nothing");
    std::sort(rows.begin(), rows.end(), [](const TRegistryRow& left, const TRegistryRow& right) {
        return std::tie(left.Key, left.Name) < std::tie(right.Key, right.Name);
    });
    return rows;
}

std::string XmlText(const std::wstring& text) {
    std::string escaped;
    for (const char c : Utf8(text)) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

void WriteRows(const std::vector<TRegistryRow>& rows, const TPathReferences& references, const std::wstring& output) {
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                       "<!-- Written by registration_rows from what DllRegisterServer writes: do not edit. -->\n"
                       "<Include>\n";
    for (const TRegistryRow& row : rows) {
        text += "  <RegistryValue Root=\"HKCR\" Key=\"" + XmlText(row.Key) + "\"";
        if (!row.Name.empty()) text += " Name=\"" + XmlText(row.Name) + "\"";
        text += " Value=\"" + XmlText(references.Reference(row)) + "\" Type=\"string\"/>\n";
    }
    text += "</Include>\n";
    std::ofstream file(output.c_str(), std::ios::binary | std::ios::trunc);
    if (!(file << text) || !file.flush()) throw std::runtime_error("cannot write " + Utf8(output));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: registration_rows <server DLL> <host type library> <file id> <folder property> "
                     "<output .wxi>\n");
        return 2;
    }
    try {
        const std::wstring dll = FullPath(argv[1]);
        const std::vector<TRegistryRow> rows = CaptureRegistration(dll, argv[2]);
        WriteRows(rows, TPathReferences(dll, argv[3], argv[4]), argv[5]);
        std::printf("registration_rows: %u rows\n", static_cast<unsigned>(rows.size()));
        return 0;
    } catch (const std::exception& error) {
        RegDeleteTreeW(HKEY_CURRENT_USER, ScratchKey);
        std::fprintf(stderr, "registration_rows: %s\n", error.what());
        return 1;
    }
}
