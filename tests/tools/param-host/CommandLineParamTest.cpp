// The host program's parameter object, through the IParam vtable the
// component calls: it answers the settings, reads back what was written, as
// the host does, and notes every call.
#include "common/CommandLineParam.h"

#include "util/UniqueBstr.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

namespace {

using Microsoft::WRL::ComPtr;

std::wstring ReadText(IParam& param, HRESULT (STDMETHODCALLTYPE IParam::*getter)(BSTR*)) {
    UniqueBstr text;
    EXPECT_EQ(S_OK, (param.*getter)(text.Receive()));
    return std::wstring(text.View());
}

ParamSettings EditSettings() {
    ParamSettings settings;
    settings.paramName = L"Rate";
    settings.options = {L"On , 1", L"Off,0"};
    settings.acceptRule = *ValueRule::Parse(L"0..255");
    settings.bitText = L"1";
    return settings;
}

TEST(HostParamObject, ReadsBackWhatTheComponentWrote) {
    ComPtr<CommandLineParam> object(new CommandLineParam(EditSettings()));
    IParam& param = *object.Get();
    EXPECT_EQ(L"1", ReadText(param, &IParam::GetBitText));
    UniqueBstr bits = UniqueBstr::Copy(L"0011");
    UniqueBstr value = UniqueBstr::Copy(L"12.5");
    EXPECT_EQ(S_OK, param.SetBitText(bits.Get()));
    EXPECT_EQ(S_OK, param.SetValueText(value.Get()));
    EXPECT_EQ(S_OK, param.SetExplainCode(7));
    EXPECT_EQ(L"0011", ReadText(param, &IParam::GetBitText));
    EXPECT_EQ(L"12.5", ReadText(param, &IParam::GetValueText));
    EXPECT_EQ(7, object->ExplainCode());
    EXPECT_FALSE(object->DisplayText());
    EXPECT_EQ((std::vector<std::wstring>{L"GetBitText", L"SetBitText(\"0011\")", L"SetValueText(\"12.5\")",
                                         L"SetExplainCode(7)", L"GetBitText", L"GetValueText"}),
              object->Calls());
}

TEST(HostParamObject, AnswersOptionsAndTheAcceptanceRule) {
    ComPtr<CommandLineParam> object(new CommandLineParam(EditSettings()));
    IParam& param = *object.Get();
    LONG count = -1;
    EXPECT_EQ(S_OK, param.GetOptionCount(&count));
    EXPECT_EQ(2, count);
    UniqueBstr option;
    EXPECT_EQ(S_OK, param.GetOptionText(1, option.Receive()));
    EXPECT_EQ(L"Off,0", option.View());
    EXPECT_EQ(E_INVALIDARG, param.GetOptionText(2, option.Receive()));
    EXPECT_EQ(nullptr, option.Get());

    UniqueBstr inRange = UniqueBstr::Copy(L"255"), outOfRange = UniqueBstr::Copy(L"256"), word = UniqueBstr::Copy(L"x");
    EXPECT_EQ(VARIANT_TRUE, param.CheckValueText(inRange.Get()));
    EXPECT_EQ(VARIANT_FALSE, param.CheckValueText(outOfRange.Get()));
    EXPECT_EQ(VARIANT_FALSE, param.CheckValueText(word.Get()));
}

TEST(HostParamObject, RefusesAndNotesTheHostsOtherMethods) {
    ComPtr<CommandLineParam> object(new CommandLineParam(ParamSettings()));
    EXPECT_EQ(E_NOTIMPL, object->Reserved41());
    EXPECT_EQ(std::vector<std::wstring>{L"Reserved41"}, object->Calls());
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(S_OK, object->QueryInterface(IID_PPV_ARGS(&unknown)));
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(IID_PPV_ARGS(&dispatch)));
}

}  // namespace
