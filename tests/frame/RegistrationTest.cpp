// Self-registration through regsvr32 in the build's prefix, read back with
// the registry API, and the clients that registration serves.
#include "errors/OleErrors.h"
#include "frame/RegistryEntries.h"
#include "support/ChildProcess.h"
#include "support/Transactor.h"
#include "util/RegistryKey.h"
#include "util/UniqueBstr.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
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
    return ExitCodeAtEnd(process);
}

// Where class entries are read: HKEY_CLASSES_ROOT (what clients see), or one
// of the two stores behind it, the machine's and the current user's.
struct ClassesRoot {
    HKEY root;
    std::string prefix;
};
const ClassesRoot Classes{HKEY_CLASSES_ROOT, ""};
const ClassesRoot MachineClasses{HKEY_LOCAL_MACHINE, "Software\\Classes\\"};
const ClassesRoot UserClasses{HKEY_CURRENT_USER, "Software\\Classes\\"};

bool KeyExists(const std::string& key, const ClassesRoot& classes = Classes) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(classes.root, (classes.prefix + key).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    const UniqueRegistryKey owned(opened);
    return true;
}

// The text value, or "<missing>".
std::string Value(const std::string& key, const char* valueName = nullptr, const ClassesRoot& classes = Classes) {
    char data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueA(classes.root, (classes.prefix + key).c_str(), valueName, RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS)
        return "<missing>";
    return data;
}

// Subkey names as stored (spelling included).
std::set<std::string> Subkeys(const std::string& key, const ClassesRoot& classes) {
    std::set<std::string> names;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(classes.root, (classes.prefix + key).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return names;
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

void ExpectTheEightEntries(const std::string& serverPath, const ClassesRoot& classes = Classes) {
    EXPECT_EQ("ParamTransactor", Value(ClassKey, nullptr, classes));
    EXPECT_EQ(serverPath, Value(ClassKey + "\\InprocServer32", nullptr, classes));
    EXPECT_EQ("Apartment", Value(ClassKey + "\\InprocServer32", "ThreadingModel", classes));
    EXPECT_EQ("ParamTransactor", Value(ProgIdKey, nullptr, classes));
    EXPECT_EQ("{05EA5679-AF5C-4E18-8322-4C47A266B1F1}", Value(ProgIdKey + "\\Clsid", nullptr, classes));
    EXPECT_EQ("OvixParamTransactor.ParamTransactor", Value(ClassKey + "\\ProgID", nullptr, classes));
    EXPECT_EQ("1.0", Value(ClassKey + "\\Version", nullptr, classes));
    EXPECT_EQ("{BA3E56B4-1936-466D-BF12-1B9F42F2E5F4}", Value(ClassKey + "\\TypeLib", nullptr, classes));
    EXPECT_EQ((std::set<std::string>{"InprocServer32", "ProgID", "TypeLib", "Version"}), Subkeys(ClassKey, classes));
    EXPECT_EQ(std::set<std::string>{"Clsid"}, Subkeys(ProgIdKey, classes));
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

// The path the platform's registration of the component's type library names,
// as clients of this user find it; empty when it is not registered.
std::wstring RegisteredLibraryPath() {
    UniqueBstr path;
    if (FAILED(QueryPathOfRegTypeLib(LIBID_OvixParamTransactor, OvixParamTransactorMajorVersion,
                                     OvixParamTransactorMinorVersion, 0, path.Receive())))
        return {};
    return std::wstring(path.View());
}

// regsvr32 /n /i:user writes the machine-wide entries, one for one, under the
// user's own classes and nothing for the machine; /u /n /i:user takes them
// away again. (This platform resolves classes from the machine's keys only,
// so the entries are read, not used. It also registers a type library "for
// the user" machine-wide, which is why its path is asked of the platform.)
TEST_F(RegistrationTest, PerUserInstallWritesTheEntriesUnderTheUsersClasses) {
    ASSERT_EQ(0u, Regsvr32("/u", ComponentPath()));
    ASSERT_EQ(0u, Regsvr32("/n /i:user", ComponentPath()));
    ExpectTheEightEntries(ComponentPath(), UserClasses);
    EXPECT_FALSE(KeyExists(ClassKey, MachineClasses));
    EXPECT_FALSE(KeyExists(ProgIdKey, MachineClasses));
    const std::string path = ComponentPath();
    EXPECT_EQ(std::wstring(path.begin(), path.end()), RegisteredLibraryPath());

    ASSERT_EQ(0u, Regsvr32("/u /n /i:user", ComponentPath()));
    EXPECT_FALSE(KeyExists(ClassKey, UserClasses));
    EXPECT_FALSE(KeyExists(ProgIdKey, UserClasses));
    EXPECT_EQ(L"", RegisteredLibraryPath());
}

TEST_F(RegistrationTest, InstallRefusesAnUnknownCommandLine) {
    const auto install = ComponentExport<HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR)>("DllInstall");
    EXPECT_EQ(E_INVALIDARG, install(TRUE, L"everyone"));
    EXPECT_EQ(E_INVALIDARG, install(FALSE, L"everyone"));
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

// A client creates the object by class identifier and by ProgID, and uses it.
// (Inside an activation context the ProgID may stand for an alias of the class
// identifier, which only that context knows.)
void ExpectClientsCreateTheObject() {
    CLSID byProgId{};
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"OvixParamTransactor.ParamTransactor", &byProgId));
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

TEST_F(RegistrationTest, ClientsCreateTheObjectByClassAndByProgId) {
    ASSERT_EQ(0u, Regsvr32("", ComponentPath()));
    CLSID byProgId{};
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"OvixParamTransactor.ParamTransactor", &byProgId));
    EXPECT_TRUE(IsEqualGUID(CLSID_ParamTransactor, byProgId));
    ExpectClientsCreateTheObject();
}

// The side-by-side manifest the build writes next to the DLL.
std::string ManifestPath() {
    return ComponentPath().substr(0, ComponentPath().find_last_of('\\') + 1) + "OvixParamTransactor.manifest";
}

// An activation context made from a manifest, active on this thread for its lifetime.
class ActiveContext {
public:
    explicit ActiveContext(const std::string& manifest) {
        ACTCTXA description{};
        description.cbSize = sizeof description;
        description.lpSource = manifest.c_str();
        FContext = CreateActCtxA(&description);
        if (FContext != INVALID_HANDLE_VALUE && !ActivateActCtx(FContext, &FCookie)) FCookie = 0;
    }
    ~ActiveContext() {
        if (FCookie) DeactivateActCtx(0, FCookie);
        if (FContext != INVALID_HANDLE_VALUE) ReleaseActCtx(FContext);
    }
    ActiveContext(const ActiveContext&) = delete;
    ActiveContext& operator=(const ActiveContext&) = delete;
    bool Active() const { return FCookie != 0; }

private:
    HANDLE FContext = INVALID_HANDLE_VALUE;
    ULONG_PTR FCookie = 0;
};

// Registration-free: with nothing registered, a host that activates the
// manifest (as an application manifest's dependency would) creates the
// object by class and by ProgID; without it the class is unknown.
TEST_F(RegistrationTest, ManifestServesTheClassWithoutRegistration) {
    ASSERT_EQ(0u, Regsvr32("/u", ComponentPath()));
    ASSERT_FALSE(KeyExists(ClassKey));
    {
        const ActiveContext context(ManifestPath());
        ASSERT_TRUE(context.Active()) << ManifestPath();
        ExpectClientsCreateTheObject();
    }
    ComPtr<IParamTransactor> transactor;
    EXPECT_EQ(REGDB_E_CLASSNOTREG,
              CoCreateInstance(CLSID_ParamTransactor, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&transactor)));
}

// The manifest names the class, ProgID, threading model and type library
// exactly as registration writes them.
TEST_F(RegistrationTest, ManifestNamesWhatRegistrationWrites) {
    ASSERT_EQ(0u, Regsvr32("", ComponentPath()));
    std::ifstream file(ManifestPath());
    const std::string manifest{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::string expected[] = {
        "<file name=\"OvixParamTransactor.dll\">",
        "clsid=\"" + Value(ProgIdKey + "\\Clsid") + "\"",
        "progid=\"" + Value(ClassKey + "\\ProgID") + "\"",
        "threadingModel=\"" + Value(ClassKey + "\\InprocServer32", "ThreadingModel") + "\"",
        "<typelib tlbid=\"" + Value(ClassKey + "\\TypeLib") + "\" version=\"" + Value(ClassKey + "\\Version") + "\"",
    };
    for (const std::string& attribute : expected) {
        SCOPED_TRACE(attribute);
        EXPECT_NE(std::string::npos, manifest.find(attribute));
    }
}

// A predefined root (HKEY_CLASSES_ROOT unless named) refusing writes and
// deletions, for its lifetime: in place of the real root, a key deleted
// while still open.
class RefusingClassesRoot {
public:
    explicit RefusingClassesRoot(HKEY predefined = HKEY_CLASSES_ROOT) : FPredefined(predefined) {
        HKEY refusing = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\OvixRefusingRoot", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &refusing, nullptr);
        FKey.Reset(refusing);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OvixRefusingRoot");
        FInPlace = RegOverridePredefKey(FPredefined, FKey.Get()) == ERROR_SUCCESS;
    }
    ~RefusingClassesRoot() { RegOverridePredefKey(FPredefined, nullptr); }
    bool InPlace() const { return FInPlace; }

private:
    HKEY FPredefined;
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
        CreateRegKey(TRegistryScope::Machine, "OvixParamTransactor.Refused", "", "value");
        ADD_FAILURE() << "the write succeeded";
    } catch (const EOleRegistrationError& error) {
        EXPECT_EQ("Error creating system registry entry", error.Message());
    }
}

// Unregistering where the entries cannot be removed, for the machine and for
// the user, reports a failure with the platform's code (not a success, and
// not the bare E_FAIL), after removing what it could.
TEST_F(RegistrationTest, UnremovableEntriesFailTheUnregistration) {
    const auto unregisterServer = ComponentExport<HRESULT(STDAPICALLTYPE*)()>("DllUnregisterServer");
    const auto install = ComponentExport<HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR)>("DllInstall");
    HRESULT machine = S_OK, user = S_OK;
    {
        const RefusingClassesRoot refusing;
        ASSERT_TRUE(refusing.InPlace());
        machine = unregisterServer();
    }
    {
        const RefusingClassesRoot refusing(HKEY_CURRENT_USER);
        ASSERT_TRUE(refusing.InPlace());
        user = install(FALSE, L"user");
    }
    EXPECT_TRUE(FAILED(machine) && machine != E_FAIL) << std::hex << machine;
    EXPECT_TRUE(FAILED(user) && user != E_FAIL) << std::hex << user;
}

// With nothing registered there is nothing to remove: that succeeds.
TEST_F(RegistrationTest, UnregisteringWhatIsNotRegisteredSucceeds) {
    const auto unregisterServer = ComponentExport<HRESULT(STDAPICALLTYPE*)()>("DllUnregisterServer");
    const auto install = ComponentExport<HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR)>("DllInstall");
    ASSERT_EQ(S_OK, unregisterServer());
    ASSERT_FALSE(KeyExists(ClassKey));
    EXPECT_EQ(S_OK, unregisterServer());
    EXPECT_EQ(S_OK, install(FALSE, L"user"));
    EXPECT_EQ(S_OK, install(FALSE, L"user"));
}

}  // namespace
