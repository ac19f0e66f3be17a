// The three library path properties: what they store, when they load and free
// the extension libraries, observed through the load events of the test
// extensions and the platform's module list.
#include "support/LoadEvents.h"
#include "support/Transactor.h"
#include "util/UniqueBstr.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using Microsoft::WRL::ComPtr;

namespace {

struct LibraryProperty {
    const char* name;
    HRESULT (STDMETHODCALLTYPE IParamTransactor::*get)(BSTR*);
    HRESULT (STDMETHODCALLTYPE IParamTransactor::*put)(BSTR);
};

class LibraryPropertyTest : public testing::TestWithParam<LibraryProperty> {
protected:
    void SetUp() override { TakeLoadEvents(); }

    void Put(const wchar_t* path) {
        UniqueBstr value = UniqueBstr::Copy(path);
        ASSERT_EQ(S_OK, (transactor.Get()->*GetParam().put)(value.Get()));
    }
    std::wstring Get() {
        UniqueBstr value;
        EXPECT_EQ(S_OK, (transactor.Get()->*GetParam().get)(value.Receive()));
        return std::wstring(value.View());
    }

    ComPtr<IParamTransactor> transactor = NewTransactor();
};

TEST_P(LibraryPropertyTest, StartsEmptyAndReturnsExactlyWhatWasPut) {
    UniqueBstr initial;
    ASSERT_EQ(S_OK, (transactor.Get()->*GetParam().get)(initial.Receive()));
    EXPECT_EQ(nullptr, initial.Get());

    Put(L"  ExtSucceed.dll\t");
    EXPECT_EQ(L"  ExtSucceed.dll\t", Get());
    EXPECT_EQ("+ExtSucceed ", TakeLoadEvents());

    Put(L"   ");
    EXPECT_EQ(L"   ", Get());
    EXPECT_EQ("-ExtSucceed ", TakeLoadEvents());
}

TEST_P(LibraryPropertyTest, SamePathTwiceLoadsOnceButSurroundingBlanksReload) {
    Put(L"ExtSucceed.dll");
    Put(L"ExtSucceed.dll");
    EXPECT_EQ("+ExtSucceed ", TakeLoadEvents());

    Put(L" ExtSucceed.dll ");
    EXPECT_EQ("-ExtSucceed +ExtSucceed ", TakeLoadEvents());
    EXPECT_TRUE(IsLoaded("ExtSucceed.dll"));
}

TEST_P(LibraryPropertyTest, NewPathFreesTheOldLibraryBeforeLoading) {
    Put(L"ExtSucceed.dll");
    Put(L"ExtRefuse.dll");
    EXPECT_EQ("+ExtSucceed -ExtSucceed +ExtRefuse ", TakeLoadEvents());

    Put(L"NoSuchLibrary.dll");
    EXPECT_EQ("-ExtRefuse ", TakeLoadEvents());
    EXPECT_EQ(L"NoSuchLibrary.dll", Get());
}

TEST_P(LibraryPropertyTest, LibraryWithoutEntryPointStaysLoadedUntilReleased) {
    Put(L"ExtNoEntry.dll");
    EXPECT_TRUE(IsLoaded("ExtNoEntry.dll"));
    transactor.Reset();
    EXPECT_FALSE(IsLoaded("ExtNoEntry.dll"));
    EXPECT_EQ("+ExtNoEntry -ExtNoEntry ", TakeLoadEvents());
}

INSTANTIATE_TEST_SUITE_P(
    EachSlot, LibraryPropertyTest,
    testing::Values(
        LibraryProperty{"Explain", &IParamTransactor::get_ExplainLibrary, &IParamTransactor::put_ExplainLibrary},
        LibraryProperty{"Obscure", &IParamTransactor::get_ObscureLibrary, &IParamTransactor::put_ObscureLibrary},
        LibraryProperty{"Edit", &IParamTransactor::get_EditLibrary, &IParamTransactor::put_EditLibrary}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TransactorLifetime, ReleaseFreesExplainThenObscureThenEditLibrary) {
    TakeLoadEvents();
    ComPtr<IParamTransactor> transactor = NewTransactor();
    UniqueBstr edit = UniqueBstr::Copy(L"ExtSucceed.dll");
    UniqueBstr obscure = UniqueBstr::Copy(L"ExtNoEntry.dll");
    UniqueBstr explain = UniqueBstr::Copy(L"ExtRefuse.dll");
    ASSERT_EQ(S_OK, transactor->put_EditLibrary(edit.Get()));
    ASSERT_EQ(S_OK, transactor->put_ObscureLibrary(obscure.Get()));
    ASSERT_EQ(S_OK, transactor->put_ExplainLibrary(explain.Get()));
    TakeLoadEvents();

    transactor.Reset();

    EXPECT_EQ("-ExtRefuse -ExtNoEntry -ExtSucceed ", TakeLoadEvents());
}

TEST(TransactorLifetime, SlotsAreIndependent) {
    TakeLoadEvents();
    ComPtr<IParamTransactor> transactor = NewTransactor();
    UniqueBstr path = UniqueBstr::Copy(L"ExtSucceed.dll");
    UniqueBstr empty;
    ASSERT_EQ(S_OK, transactor->put_ExplainLibrary(path.Get()));
    ASSERT_EQ(S_OK, transactor->put_EditLibrary(path.Get()));
    ASSERT_EQ(S_OK, transactor->put_ExplainLibrary(empty.Get()));
    EXPECT_TRUE(IsLoaded("ExtSucceed.dll"));  // still held by the edit slot
    transactor.Reset();
    EXPECT_FALSE(IsLoaded("ExtSucceed.dll"));
}

}  // namespace
