// The class object as a host meets it: DllGetClassObject of the loaded
// module, CreateInstance with its failures, aggregation under an outer
// object, LockServer, and the counts DllCanUnloadNow answers from.
#include "support/Transactor.h"
#include "util/UniqueBstr.h"

#include <gtest/gtest.h>

using Microsoft::WRL::ComPtr;

namespace {

HRESULT CanUnloadNow() { return ComponentExport<HRESULT(STDAPICALLTYPE*)()>("DllCanUnloadNow")(); }

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    using Function = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    return ComponentExport<Function>("DllGetClassObject")(clsid, iid, object);
}

// Nothing of the component may be held between the tests of this program.
class ClassObjectTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(S_OK, CanUnloadNow()); }
    void TearDown() override { EXPECT_EQ(S_OK, CanUnloadNow()); }
};

TEST_F(ClassObjectTest, ClassObjectKeepsTheModuleUntilReleased) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, GetClassObject(CLSID_ParamTransactor, IID_PPV_ARGS(&factory)));
    EXPECT_EQ(S_FALSE, CanUnloadNow());

    ComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, factory.As(&unknown));
    EXPECT_EQ(static_cast<IUnknown*>(factory.Get()), unknown.Get());
    unknown.Reset();
    factory.Reset();
    EXPECT_EQ(S_OK, CanUnloadNow());
}

TEST_F(ClassObjectTest, AddRefAndReleaseAnswerTheSharedClassObjectCount) {
    ComPtr<IClassFactory> first = TransactorClassObject();
    ComPtr<IClassFactory> second = TransactorClassObject();
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_EQ(3u, first->AddRef());
    EXPECT_EQ(2u, second->Release());
}

TEST_F(ClassObjectTest, UnknownClassOrInterfaceGivesNullAndAnError) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, GetClassObject(IID_IDispatch, IID_IClassFactory, &object));
    EXPECT_EQ(nullptr, object);

    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, GetClassObject(CLSID_ParamTransactor, IID_IDispatch, &object));
    EXPECT_EQ(nullptr, object);
}

TEST_F(ClassObjectTest, LiveObjectHoldsTheModuleUntilItsLastRelease) {
    ComPtr<IParamTransactor> transactor = NewTransactor();
    EXPECT_EQ(S_FALSE, CanUnloadNow());
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, transactor.As(&dispatch));
    transactor.Reset();
    EXPECT_EQ(S_FALSE, CanUnloadNow());
    dispatch.Reset();
    EXPECT_EQ(S_OK, CanUnloadNow());
}

TEST_F(ClassObjectTest, CreateInstanceRefusesBadArguments) {
    ComPtr<IClassFactory> factory = TransactorClassObject();
    EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, __uuidof(IParamTransactor), nullptr));

    IUnknown* outer = factory.Get();  // any IUnknown: it must not be used
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer, __uuidof(IParamTransactor), &object));
    EXPECT_EQ(nullptr, object);
}

TEST_F(ClassObjectTest, InterfaceTheObjectLacksDestroysTheNewObject) {
    ComPtr<IClassFactory> factory = TransactorClassObject();
    ComPtr<IClassFactory> wrong;
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_PPV_ARGS(&wrong)));
    EXPECT_EQ(nullptr, wrong.Get());
    factory.Reset();
    EXPECT_EQ(S_OK, CanUnloadNow());  // the live-object count is back at 0
}

TEST_F(ClassObjectTest, LockServerHoldsTheModuleWithoutObjects) {
    ComPtr<IClassFactory> factory = TransactorClassObject();
    ASSERT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_FALSE, CanUnloadNow());

    factory = TransactorClassObject();
    ASSERT_EQ(S_OK, factory->LockServer(FALSE));
    factory.Reset();
    EXPECT_EQ(S_OK, CanUnloadNow());
}

// An outer object that only counts the calls its inner object forwards.
class CountingOuter final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        ++queries;
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    int queries = 0;
    ULONG references = 1;
};

TEST_F(ClassObjectTest, AggregatedObjectForwardsToItsOuterObject) {
    CountingOuter outer;
    ComPtr<IUnknown> inner;
    ASSERT_EQ(S_OK, TransactorClassObject()->CreateInstance(&outer, IID_PPV_ARGS(&inner)));
    EXPECT_EQ(1u, outer.references);  // the non-delegating IUnknown counts on its own

    IParamTransactor* transactor = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(__uuidof(IParamTransactor), reinterpret_cast<void**>(&transactor)));
    EXPECT_EQ(2u, outer.references);  // the reference handed out was taken on the outer object

    IDispatch* dispatch = nullptr;
    EXPECT_EQ(E_NOINTERFACE, transactor->QueryInterface(IID_PPV_ARGS(&dispatch)));
    EXPECT_EQ(1, outer.queries);

    UniqueBstr path = UniqueBstr::Copy(L"NoSuchExtension.dll");
    EXPECT_EQ(S_OK, transactor->put_EditLibrary(path.Get()));
    EXPECT_EQ(1u, transactor->Release());  // reaches the outer object
    EXPECT_EQ(S_FALSE, CanUnloadNow());

    inner.Reset();  // the outer object lets its inner object go
    EXPECT_EQ(1u, outer.references);
}

}  // namespace
