// Building the class factory of an automation class, as module start-up
// does, from type libraries that do not fit the class: each mismatch stops
// start-up with its own error, and the half-built factory leaves the class
// manager again, so the class is not served.
#include "frame/AutoObjectFactory.h"
#include "frame/ComClassManager.h"
#include "frame/ComObject.h"
#include "frame/ComServer.h"
#include "errors/OleErrors.h"
#include "support/Transactor.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <stdexcept>
#include <string>

using Microsoft::WRL::ComPtr;

namespace {

// A class that is a typed object but does not implement IParamTransactor.
class TPlainObject : public TTypedComObject {};

// A server object whose type library is the one it is given.
class GivenLibraryServer final : public TComServerObject {
public:
    explicit GivenLibraryServer(ComPtr<ITypeLib> library) : FLibrary(std::move(library)) {}
    LONG ChangeObjectCount(TCountChange) override { return 0; }
    LONG ChangeClassObjectCount(TCountChange) override { return 0; }
    std::string HelpFilePath() const override { return {}; }
    std::wstring ModulePath() const override { return {}; }
    std::string InprocKeyName() const override { return "InprocServer32"; }
    std::string LibraryName() override { return "Test"; }
    bool StartsSuspended() const override { return false; }
    ComPtr<ITypeLib> TypeLibrary() override { return FLibrary; }
    void SetHelpFilePath(std::string) override {}
    bool IsInprocServer() const override { return true; }

private:
    ComPtr<ITypeLib> FLibrary;
};

ComPtr<ITypeLib> ComponentLibrary() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(ComponentModule(), path, MAX_PATH);
    ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(path, REGKIND_NONE, &library))) throw std::runtime_error("component library");
    return library;
}

// A library, written to a file beside the tests and loaded back, whose
// coclass `classId` implements no interface at all.
ComPtr<ITypeLib> LibraryWithBareCoclass(REFCLSID classId) {
    const wchar_t file[] = L"BareCoclass.tlb";
    const GUID libraryId = {0x3C8A2F7D, 0x5B1E, 0x4E0A, {0x9D, 0x64, 0x71, 0x2C, 0x0B, 0x5A, 0xE3, 0x19}};
    ComPtr<ICreateTypeLib2> created;
    ComPtr<ICreateTypeInfo> coclass;
    if (FAILED(CreateTypeLib2(SYS_WIN32, file, &created)) || FAILED(created->SetGuid(libraryId)) ||
        FAILED(created->SetName(const_cast<LPOLESTR>(L"BareLibrary"))) ||
        FAILED(created->CreateTypeInfo(const_cast<LPOLESTR>(L"Bare"), TKIND_COCLASS, &coclass)) ||
        FAILED(coclass->SetGuid(classId)) || FAILED(coclass->LayOut()) || FAILED(created->SaveAllChanges()))
        throw std::runtime_error("bare coclass library");
    ComPtr<ITypeLib> library;
    const HRESULT loaded = LoadTypeLibEx(file, REGKIND_NONE, &library);
    DeleteFileW(file);
    if (FAILED(loaded)) throw std::runtime_error("bare coclass library");
    return library;
}

const TComObjectClass ParamTransactorLike = ComObjectClassOf<TPlainObject>("TParamTransactor");

// The message of the EOleError that building the factory raised, or "<none>".
std::string StartUpError(TComServerObject& server, REFCLSID classId) {
    try {
        TAutoObjectFactory factory(server, ParamTransactorLike, classId, TClassInstancing::MultiInstance,
                                   TThreadingModel::Apartment);
    } catch (const EOleError& error) {
        EXPECT_EQ(nullptr, ComClassManager().GetFactoryFromClassID(classId));  // not served
        return error.Message();
    }
    return "<none>";
}

TEST(StartUpErrors, ClassMissingFromTheLibrary) {
    GivenLibraryServer server(ComponentLibrary());
    const CLSID unknownClass = {0x7F2E9C41, 0x0A6B, 0x4D3F, {0x8E, 0x15, 0x2B, 0x93, 0x6C, 0x40, 0xD7, 0x5A}};
    EXPECT_EQ("Type information missing for class TParamTransactor", StartUpError(server, unknownClass));
}

TEST(StartUpErrors, CoclassWithoutDefaultInterface) {
    const CLSID bareClass = {0x1D5B7E29, 0x64C3, 0x4A8F, {0xB0, 0x72, 0x5E, 0x1A, 0x9F, 0x36, 0x0C, 0x84}};
    GivenLibraryServer server(LibraryWithBareCoclass(bareClass));
    EXPECT_EQ("Incorrect type information for class TParamTransactor", StartUpError(server, bareClass));
}

TEST(StartUpErrors, ObjectClassLackingTheDefaultInterface) {
    GivenLibraryServer server(ComponentLibrary());
    EXPECT_EQ("Dispatch interface missing from class TParamTransactor", StartUpError(server, CLSID_ParamTransactor));
}

// A module without a type library resource: the platform's error, with its code.
TEST(StartUpErrors, ModuleWithoutTypeLibrary) {
    TComServer server(GetModuleHandleA(nullptr));
    try {
        TAutoObjectFactory factory(server, ParamTransactorLike, CLSID_ParamTransactor,
                                   TClassInstancing::MultiInstance, TThreadingModel::Apartment);
        ADD_FAILURE() << "the factory was built";
    } catch (const EOleSysError& error) {
        EXPECT_LT(error.ErrorCode(), 0);
        EXPECT_FALSE(error.Message().empty());
    }
    EXPECT_EQ(nullptr, ComClassManager().GetFactoryFromClassID(CLSID_ParamTransactor));
}

}  // namespace
