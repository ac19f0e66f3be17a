// Self-registration through regsvr32 in the build's prefix, read back with
// the registry API, and the clients that registration serves.
#include "errors/OleErrors.h"
#include "frame/RegistryEntries.h"
#include "support/Transactor.h"
#include "util/KernelHandle.h"
#include "util/RegistryKey.h"
#include "util/UniqueBstr.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

using Microsoft::WRL::ComPtr;

namespace {

const std::string ClassKey = "CLSID\\{05EA5679-AF5C-4E18-8322-4C47A266B1F1}";
const std::string ProgIdKey = "OvixParamTransactor.ParamTransactor";
const std::string LibraryKey = "TypeLib\\{BA3E56B4-1936-466D-BF12-1B9F42F2E5F4}";

std::string ComponentPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(ComponentModule(), path, MAX_PATH);
    return path;
}

// Runs regsvr32 (silent) on `module` and returns its exit code.
DWORD Regsvr32(const std::string& options, const std::string& module, const char* workingFolder = nullptr) {
    std::string commandLine = "regsvr32.exe /s " + options + " \"" + module + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, workingFolder, &startup,
                        &process))
        return GetLastError();
    const UniqueKernelHandle processHandle(process.hProcess);
    const UniqueKernelHandle threadHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

bool KeyExists(const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    const UniqueRegistryKey owned(opened);
    return true;
}

// The text value, or "<missing>".
std::string Value(const std::string& key, const char* valueName = nullptr) {
    char data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), valueName, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return "<missing>";
    return data;
}

// Subkey names as stored (spelling included).
std::set<std::string> Subkeys(const std::string& key) {
    std::set<std::string> names;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return names;
    UniqueRegistryKey owned(opened);
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(owned.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.insert(name);
    }
    return names;
}

void ExpectTheEightEntries(const std::string& serverPath) {
    EXPECT_EQ("ParamTransactor", Value(ClassKey));
    EXPECT_EQ(serverPath, Value(ClassKey + "\\InprocServer32"));
    EXPECT_EQ("Apartment", Value(ClassKey + "\\InprocServer32", "ThreadingModel"));
    EXPECT_EQ("ParamTransactor", Value(ProgIdKey));
    EXPECT_EQ("{05EA5679-AF5C-4E18-8322-4C47A266B1F1}", Value(ProgIdKey + "\\Clsid"));
    EXPECT_EQ("OvixParamTransactor.ParamTransactor", Value(ClassKey + "\\ProgID"));
    EXPECT_EQ("1.0", Value(ClassKey + "\\Version"));
    EXPECT_EQ("{BA3E56B4-1936-466D-BF12-1B9F42F2E5F4}", Value(ClassKey + "\\TypeLib"));
    EXPECT_EQ((std::set<std::string>{"InprocServer32", "ProgID", "TypeLib", "Version"}), Subkeys(ClassKey));
    EXPECT_EQ(std::set<std::string>{"Clsid"}, Subkeys(ProgIdKey));
}

// Every test leaves the component registered from its build folder, as the
// prefix had it, for the test programs that follow.
class RegistrationTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(0u, Regsvr32("", ComponentPath())); }
};

TEST_F(RegistrationTest, RegisterWritesTheEightEntriesAndMayRunTwice) {
    ASSERT_EQ(0u, Regsvr32("", ComponentPath()));
    ExpectTheEightEntries(ComponentPath());
    EXPECT_EQ(ComponentPath(), Value(LibraryKey + "\\1.0\\0\\win32"));

    ASSERT_EQ(0u, Regsvr32("", ComponentPath()));
    ExpectTheEightEntries(ComponentPath());
}

TEST_F(RegistrationTest, UnregisterRemovesEverythingAndMayRunTwice) {
    ASSERT_EQ(0u, Regsvr32("", ComponentPath()));
    ASSERT_EQ(0u, Regsvr32("/u", ComponentPath()));
    EXPECT_FALSE(KeyExists(ClassKey));
    EXPECT_FALSE(KeyExists(ProgIdKey));
    EXPECT_FALSE(KeyExists(LibraryKey + "\\1.0"));

    EXPECT_EQ(0u, Regsvr32("/u", ComponentPath()));
    EXPECT_FALSE(KeyExists(ClassKey));
}

// A copy of the component in a folder of its own under the build's folder.
class ComponentCopy {
public:
    explicit ComponentCopy(const std::string& folderName)
        : FFolder(ComponentPath().substr(0, ComponentPath().find_last_of('\\')) + "\\" + folderName),
          FPath(FFolder + "\\OvixParamTransactor.dll") {
        CreateDirectoryA(FFolder.c_str(), nullptr);
        CopyFileA(ComponentPath().c_str(), FPath.c_str(), FALSE);
    }
    ~ComponentCopy() {
        DeleteFileA(FPath.c_str());
        RemoveDirectoryA(FFolder.c_str());
    }
    const std::string& Folder() const { return FFolder; }
    const std::string& Path() const { return FPath; }

private:
    std::string FFolder;
    std::string FPath;
};

TEST_F(RegistrationTest, ModulePathWithBlankIsRegisteredInItsShortForm) {
    const ComponentCopy component("with blank");
    const std::string& copy = component.Path();

    ASSERT_EQ(0u, Regsvr32("", copy));
    char shortPath[MAX_PATH] = {};
    ASSERT_NE(0u, GetShortPathNameA(copy.c_str(), shortPath, MAX_PATH));
    EXPECT_EQ(std::string::npos, std::string(shortPath).find(' '));
    EXPECT_EQ(shortPath, Value(ClassKey + "\\InprocServer32"));

    EXPECT_EQ(0u, Regsvr32("/u", copy));
}

// Unregisters the host's type library for its lifetime.
class HostLibraryUnregistered {
public:
    HostLibraryUnregistered() {
        UnRegisterTypeLib(LIBID_Vantrel, VantrelMajorVersion, VantrelMinorVersion, 0, SYS_WIN32);
    }
    ~HostLibraryUnregistered() {
        const std::string bin = ComponentPath().substr(0, ComponentPath().find_last_of('\\') + 1);
        std::wstring host = std::wstring(bin.begin(), bin.end()) + L"Vantrel.dll";
        ComPtr<ITypeLib> library;
        if (SUCCEEDED(LoadTypeLibEx(host.c_str(), REGKIND_NONE, &library)))
            RegisterTypeLib(library.Get(), host.data(), nullptr);
    }
};

// Start-up resolves the coclass's default interface through the registered
// host library; without it the module does not load and serves nothing.
TEST_F(RegistrationTest, UnregisteredHostLibraryStopsStartUp) {
    const ComponentCopy component("alone");
    {
        const HostLibraryUnregistered unregistered;
        EXPECT_NE(0u, Regsvr32("", component.Path(), component.Folder().c_str()));
    }
    EXPECT_EQ(0u, Regsvr32("/u", component.Path(), component.Folder().c_str()));
}

TEST_F(RegistrationTest, ClientsCreateTheObjectByClassAndByProgId) {
    ASSERT_EQ(0u, Regsvr32("", ComponentPath()));
    CLSID byProgId{};
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"OvixParamTransactor.ParamTransactor", &byProgId));
    EXPECT_TRUE(IsEqualGUID(CLSID_ParamTransactor, byProgId));

    const std::pair<const char*, CLSID> ways[] = {{"by class", CLSID_ParamTransactor}, {"by ProgID", byProgId}};
    for (const auto& [way, clsid] : ways) {
        SCOPED_TRACE(way);
        ComPtr<IParamTransactor> transactor;
        ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&transactor)));
        UniqueBstr path = UniqueBstr::Copy(L"ExtSucceed.dll");
        ASSERT_EQ(S_OK, transactor->put_EditLibrary(path.Get()));
        UniqueBstr stored;
        ASSERT_EQ(S_OK, transactor->get_EditLibrary(stored.Receive()));
        EXPECT_EQ(L"ExtSucceed.dll", stored.View());
    }
}

// HKEY_CLASSES_ROOT refusing writes, for its lifetime: in place of the real
// root, a key deleted while still open.
class RefusingClassesRoot {
public:
    RefusingClassesRoot() {
        HKEY refusing = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\OvixRefusingRoot", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &refusing, nullptr);
        FKey.Reset(refusing);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OvixRefusingRoot");
        FInPlace = RegOverridePredefKey(HKEY_CLASSES_ROOT, FKey.Get()) == ERROR_SUCCESS;
    }
    ~RefusingClassesRoot() { RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr); }
    bool InPlace() const { return FInPlace; }

private:
    UniqueRegistryKey FKey;
    bool FInPlace = false;
};

// Registering where HKEY_CLASSES_ROOT refuses writes fails as a whole.
TEST_F(RegistrationTest, RefusedRegistryWritesFailTheRegistration) {
    // Loaded first: start-up itself reads the registry.
    const auto registerServer = ComponentExport<HRESULT(STDAPICALLTYPE*)()>("DllRegisterServer");
    HRESULT result = S_OK;
    {
        const RefusingClassesRoot refusing;
        ASSERT_TRUE(refusing.InPlace());
        result = registerServer();
    }
    EXPECT_EQ(E_FAIL, result);
}

// The error a refused write raises inside the run, before the export turns it into E_FAIL.
TEST_F(RegistrationTest, RefusedRegistryWriteRaisesTheRegistrationError) {
    const RefusingClassesRoot refusing;
    ASSERT_TRUE(refusing.InPlace());
    try {
        CreateRegKey("OvixParamTransactor.Refused", "", "value");
        ADD_FAILURE() << "the write succeeded";
    } catch (const EOleRegistrationError& error) {
        EXPECT_EQ("Error creating system registry entry", error.Message());
    }
}

}  // namespace
