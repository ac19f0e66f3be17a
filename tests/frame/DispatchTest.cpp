// What an object offers beside IParamTransactor: IDispatch served from the
// host's type information, IProvideClassInfo, ISupportErrorInfo, and the
// type library the module carries.
#include "support/Transactor.h"
#include "util/UniqueBstr.h"

#include <gtest/gtest.h>

#include <ocidl.h>
#include <oleauto.h>

#include <utility>

using Microsoft::WRL::ComPtr;

namespace {

class DispatchTest : public testing::Test {
protected:
    DISPID IdOf(const wchar_t* name) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(S_OK, transactor->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
        return id;
    }

    // Puts `text` into `property` through Invoke with the given flags.
    HRESULT PutByInvoke(const wchar_t* property, const wchar_t* text, WORD flags) {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_BSTR;
        value.bstrVal = SysAllocString(text);
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS put{&value, &named, 1, 1};
        const HRESULT result =
            transactor->Invoke(IdOf(property), IID_NULL, LOCALE_USER_DEFAULT, flags, &put, nullptr, nullptr, nullptr);
        VariantClear(&value);
        return result;
    }

    ComPtr<IParamTransactor> transactor = NewTransactor();
};

TEST_F(DispatchTest, ServesOneTypeInformationAtIndexZero) {
    UINT count = 0;
    EXPECT_EQ(S_OK, transactor->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);

    ComPtr<ITypeInfo> info;
    EXPECT_EQ(DISP_E_BADINDEX, transactor->GetTypeInfo(1, LOCALE_USER_DEFAULT, &info));
    EXPECT_EQ(nullptr, info.Get());

    ASSERT_EQ(S_OK, transactor->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
    EXPECT_TRUE(IsEqualGUID(__uuidof(IParamTransactor), attributes->guid));
    info->ReleaseTypeAttr(attributes);
}

TEST_F(DispatchTest, NamesGiveTheHostLibrarysMemberIds) {
    EXPECT_EQ(1, IdOf(L"Explain"));
    EXPECT_EQ(4, IdOf(L"ExplainLibrary"));
    EXPECT_EQ(5, IdOf(L"obscurelibrary"));
    EXPECT_EQ(6, IdOf(L"EditLibrary"));

    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, transactor->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id));
}

TEST_F(DispatchTest, PropertyPutAndGetByInvoke) {
    EXPECT_EQ(S_OK, PutByInvoke(L"ObscureLibrary", L"ExtSucceed.dll", DISPATCH_PROPERTYPUT));

    UniqueBstr stored;
    ASSERT_EQ(S_OK, transactor->get_ObscureLibrary(stored.Receive()));
    EXPECT_EQ(L"ExtSucceed.dll", stored.View());

    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(S_OK, transactor->Invoke(IdOf(L"ObscureLibrary"), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                       &none, &result, nullptr, nullptr));
    ASSERT_EQ(VT_BSTR, result.vt);
    EXPECT_STREQ(L"ExtSucceed.dll", result.bstrVal);
    VariantClear(&result);
}

// A put by reference alone is passed on as a put of either kind, so it
// reaches the property's plain put.
TEST_F(DispatchTest, PropertyPutByReferenceReachesThePut) {
    EXPECT_EQ(S_OK, PutByInvoke(L"EditLibrary", L"ExtRefuse.dll", DISPATCH_PROPERTYPUTREF));

    UniqueBstr stored;
    ASSERT_EQ(S_OK, transactor->get_EditLibrary(stored.Receive()));
    EXPECT_EQ(L"ExtRefuse.dll", stored.View());
}

// Calls that the platform's type information would follow into unusable
// memory fail with an HRESULT instead.
TEST_F(DispatchTest, MalformedAutomationCallsFailInsteadOfFaulting) {
    const IID someInterface = __uuidof(IParamTransactor);
    LPOLESTR name[] = {const_cast<LPOLESTR>(L"ExplainLibrary")};
    LPOLESTR nullName[] = {nullptr};
    DISPID id = 0;
    const struct {
        const char* name;
        HRESULT expected;
        LPOLESTR* names;
        UINT count;
        DISPID* ids;
        const IID& iid;
    } lookups[] = {
        {"interface not IID_NULL", DISP_E_UNKNOWNINTERFACE, name, 1, &id, someInterface},
        {"no name array", E_INVALIDARG, nullptr, 1, &id, IID_NULL},
        {"a null name", E_INVALIDARG, nullName, 1, &id, IID_NULL},
        {"no identifier array", E_POINTER, name, 1, nullptr, IID_NULL},
    };
    for (const auto& lookup : lookups) {
        SCOPED_TRACE(lookup.name);
        EXPECT_EQ(lookup.expected,
                  transactor->GetIDsOfNames(lookup.iid, lookup.names, lookup.count, LOCALE_USER_DEFAULT, lookup.ids));
    }

    VARIANT argument;
    VariantInit(&argument);
    DISPID named = DISPID_PROPERTYPUT;
    const DISPID library = IdOf(L"ExplainLibrary");
    const struct {
        const char* name;
        HRESULT expected;
        DISPPARAMS params;
        bool noParams;
        const IID& iid;
    } invocations[] = {
        {"interface not IID_NULL", DISP_E_UNKNOWNINTERFACE, {nullptr, nullptr, 0, 0}, false, someInterface},
        {"no parameter block", E_POINTER, {}, true, IID_NULL},
        {"no argument array", E_INVALIDARG, {nullptr, &named, 1, 1}, false, IID_NULL},
        {"no named argument array", E_INVALIDARG, {&argument, nullptr, 1, 1}, false, IID_NULL},
        {"more named arguments than arguments", E_INVALIDARG, {&argument, &named, 1, 2}, false, IID_NULL},
    };
    for (const auto& invocation : invocations) {
        SCOPED_TRACE(invocation.name);
        DISPPARAMS params = invocation.params;
        EXPECT_EQ(invocation.expected,
                  transactor->Invoke(library, invocation.iid, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                     invocation.noParams ? nullptr : &params, nullptr, nullptr, nullptr));
    }
    UniqueBstr stored;
    ASSERT_EQ(S_OK, transactor->get_ExplainLibrary(stored.Receive()));
    EXPECT_EQ(L"", stored.View()) << "no malformed put reached the property";
}

TEST_F(DispatchTest, DispatchIsTheSameObject) {
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, transactor.As(&dispatch));
    ComPtr<IUnknown> fromDispatch;
    ComPtr<IUnknown> fromTransactor;
    ASSERT_EQ(S_OK, dispatch.As(&fromDispatch));
    ASSERT_EQ(S_OK, transactor.As(&fromTransactor));
    EXPECT_EQ(fromDispatch.Get(), fromTransactor.Get());
}

TEST_F(DispatchTest, ClassInfoIsTheCoclass) {
    ComPtr<IProvideClassInfo> provider;
    ASSERT_EQ(S_OK, transactor.As(&provider));
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(S_OK, provider->GetClassInfo(&coclass));
    UniqueBstr name;
    ASSERT_EQ(S_OK, coclass->GetDocumentation(MEMBERID_NIL, name.Receive(), nullptr, nullptr, nullptr));
    EXPECT_EQ(L"ParamTransactor", name.View());
}

TEST_F(DispatchTest, SupportsErrorInfoForItsOwnInterfacesOnly) {
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(S_OK, transactor.As(&support));
    const std::pair<const char*, const IID*> answered[] = {
        {"IParamTransactor", &__uuidof(IParamTransactor)}, {"IDispatch", &IID_IDispatch},
        {"IProvideClassInfo", &IID_IProvideClassInfo},     {"ISupportErrorInfo", &IID_ISupportErrorInfo},
        {"IUnknown", &IID_IUnknown},
    };
    for (const auto& [name, iid] : answered) EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(*iid)) << name;
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IClassFactory));
}

// The module's resource TYPELIB 1 read as the platform reads it.
class TypeLibraryResourceTest : public testing::Test {
protected:
    void SetUp() override {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(ComponentModule(), path, MAX_PATH);
        ASSERT_EQ(S_OK, LoadTypeLibEx(path, REGKIND_NONE, &library));
    }

    ComPtr<ITypeLib> library;
};

TEST_F(TypeLibraryResourceTest, IsLanguageNeutralTypeLibOne) {
    EXPECT_NE(nullptr, FindResourceExA(ComponentModule(), "TYPELIB", MAKEINTRESOURCEA(1),
                                       MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)));
}

TEST_F(TypeLibraryResourceTest, DescribesTheLibrary) {
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, library->GetLibAttr(&attributes));
    EXPECT_TRUE(IsEqualGUID(LIBID_OvixParamTransactor, attributes->guid));
    EXPECT_EQ(1, attributes->wMajorVerNum);
    EXPECT_EQ(0, attributes->wMinorVerNum);
    EXPECT_EQ(0u, attributes->lcid);
    EXPECT_EQ(SYS_WIN32, attributes->syskind);
    EXPECT_EQ(0, attributes->wLibFlags & ~LIBFLAG_FHASDISKIMAGE);  // that one the platform adds on loading
    library->ReleaseTLibAttr(attributes);

    UniqueBstr name;
    UniqueBstr help;
    ASSERT_EQ(S_OK, library->GetDocumentation(MEMBERID_NIL, name.Receive(), help.Receive(), nullptr, nullptr));
    EXPECT_EQ(L"OvixParamTransactor", name.View());
    EXPECT_EQ(L"OvixParamTransactor Library", help.View());
    EXPECT_EQ(1u, library->GetTypeInfoCount());
}

TEST_F(TypeLibraryResourceTest, CoclassRefersToTheHostsInterface) {
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(CLSID_ParamTransactor, &coclass));
    UniqueBstr name;
    UniqueBstr doc;
    ASSERT_EQ(S_OK, coclass->GetDocumentation(MEMBERID_NIL, name.Receive(), doc.Receive(), nullptr, nullptr));
    EXPECT_EQ(L"ParamTransactor", name.View());
    EXPECT_EQ(L"ParamTransactor", doc.View());

    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, coclass->GetTypeAttr(&attributes));
    EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
    EXPECT_EQ(TYPEFLAG_FCANCREATE, attributes->wTypeFlags);
    EXPECT_EQ(1, attributes->wMajorVerNum);
    EXPECT_EQ(0, attributes->wMinorVerNum);
    EXPECT_EQ(1, attributes->cImplTypes);
    coclass->ReleaseTypeAttr(attributes);

    INT flags = 0;
    ASSERT_EQ(S_OK, coclass->GetImplTypeFlags(0, &flags));
    EXPECT_EQ(IMPLTYPEFLAG_FDEFAULT, flags);
    HREFTYPE reference = 0;
    ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(0, &reference));
    ComPtr<ITypeInfo> defaultInterface;
    ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(reference, &defaultInterface));

    // Not a copy: the interface lives in the host's library.
    ComPtr<ITypeLib> container;
    UINT index = 0;
    ASSERT_EQ(S_OK, defaultInterface->GetContainingTypeLib(&container, &index));
    TLIBATTR* hostAttributes = nullptr;
    ASSERT_EQ(S_OK, container->GetLibAttr(&hostAttributes));
    EXPECT_TRUE(IsEqualGUID(LIBID_Vantrel, hostAttributes->guid));
    container->ReleaseTLibAttr(hostAttributes);
}

}  // namespace
