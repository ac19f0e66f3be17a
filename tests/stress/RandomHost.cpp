#include "RandomHost.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <string_view>

namespace {

// What Explain and Obscure call on the parameter object.
const wchar_t* const Methods[] = {
    L"GetStartByte",  L"GetBitIndex",     L"GetByteCount",    L"GetHexEncoded",  L"GetBitMode",
    L"SetBitText",    L"SetValueText",    L"GetBitText",      L"GetParamId",     L"SetExplainCode",
    L"GetDisplaySuffix", L"SetDisplayText", L"GetValueText",  L"GetObscureByteB", L"GetObscureByteA",
    L"GetObscureIntB", L"GetObscureIntA", L"GetObscureText",
};

// Read inside Obscure's extension attempt, whose failures it swallows.
bool IsSwallowed(const std::wstring& method) { return method.starts_with(L"GetObscure") && method != L"GetObscureText"; }

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring RandomText(Random& random, std::wstring_view alphabet, int maxLength) {
    std::wstring text(static_cast<size_t>(random.Between(0, maxLength)), L' ');
    for (wchar_t& letter : text) letter = alphabet[random.Below(static_cast<uint32_t>(alphabet.size()))];
    return text;
}

}  // namespace

RandomHost::RandomHost(Random& random, LONG frameLength, std::string& description) {
    FParam.StartByte = random.Percent(97) ? random.Between(-2, frameLength + 2) : random.Pick<LONG>({INT_MIN, INT_MAX});
    FParam.ByteCount = random.Percent(97) ? random.Between(-2, 12) : random.Pick<LONG>({INT_MAX, 100000});
    FParam.BitIndex = random.Between(-40, 40);
    FParam.BitMode = random.Pick<LONG>({0, 0, 1, 2, -1});
    FParam.HexEncoded = random.Pick<VARIANT_BOOL>({VARIANT_FALSE, VARIANT_FALSE, VARIANT_TRUE, 5});
    FParam.ParamId = random.Between(-5, 5);
    FParam.DisplaySuffix = random.Pick<const wchar_t*>({L"", L"", L"V", L"\x5355\x4f4d"});
    FParam.BitText = RandomText(random, L"01x", 12);
    FParam.ValueText = RandomText(random, L"0123456789.-abc\x8fd0", 10);
    FParam.ObscureText = random.Percent(85) ? RandomText(random, L"0123456789", 40) : RandomText(random, std::wstring_view(L"0123 x\0", 7), 8);
    FParam.ObscureIntA = random.Between(-9, 9);
    FParam.ObscureIntB = random.Between(-9, 9);
    FParam.ObscureByteA = static_cast<BYTE>(random.Below(256));
    FParam.ObscureByteB = static_cast<BYTE>(random.Below(256));
    description += "; host: start " + std::to_string(FParam.StartByte) + ", count " +
                   std::to_string(FParam.ByteCount) + ", bit mode " + std::to_string(FParam.BitMode) + ", hex " +
                   std::to_string(FParam.HexEncoded) + ", obscure text of " +
                   std::to_string(FParam.ObscureText.size());
    const uint32_t trouble = random.Below(100);
    for (uint32_t failures = trouble < 25 ? random.Between(1, 2) : 0; failures > 0; --failures)
        FailOrFault(random, description);
    if (trouble >= 25 && trouble < 37) {
        FFaultingMethod = Methods[random.Below(std::size(Methods))];
        FParam.Crash(FFaultingMethod);
        description += "; fault in " + Narrow(FFaultingMethod);
    }
}

void RandomHost::FailOrFault(Random& random, std::string& description) {
    const std::wstring method = Methods[random.Below(std::size(Methods))];
    const HRESULT result = random.Pick<HRESULT>({E_FAIL, E_ACCESSDENIED, static_cast<HRESULT>(0x8ABC0123), S_FALSE, 2});
    description += "; " + Narrow(method) + " answers " + std::to_string(result);
    if (FAILED(result) && IsSwallowed(method)) FSwallowedFailures.push_back(method);
    // Error information goes with failures only, as hosts set it.
    switch (SUCCEEDED(result) ? 0 : random.Below(3)) {
    case 0:
        FParam.Fail(method, result);
        break;
    case 1:
        FParam.Fail(method, result, L"the host refuses. ");
        description += " with a description";
        break;
    default:
        FakeErrorInfo& errorObject = *FErrorObjects.emplace_back(method, std::make_unique<FakeErrorInfo>()).object;
        errorObject.FaultOnDescription = random.Percent(30);
        FParam.Fail(method, result, errorObject);
        description += errorObject.FaultOnDescription ? " with an error object that faults" : " with an error object";
    }
}

bool RandomHost::FaultedFatally() const {
    return (FParam.Faults() > 0 && !IsSwallowed(FFaultingMethod)) || ErrorObjectFaulted();
}

bool RandomHost::SwallowedAFailure() const {
    for (const std::wstring& call : FParam.CallNames())
        if (std::find(FSwallowedFailures.begin(), FSwallowedFailures.end(), call) != FSwallowedFailures.end())
            return true;
    return false;
}

bool RandomHost::ErrorObjectFaulted() const {
    for (const auto& [method, object] : FErrorObjects)
        if (object->Faults() > 0 && !IsSwallowed(method)) return true;
    return false;
}

std::string RandomHost::LeftBehind() const {
    std::string left;
    if (FParam.OutstandingReferences() != 0)
        left += "the parameter object with " + std::to_string(FParam.OutstandingReferences()) + " references; ";
    for (const auto& [method, object] : FErrorObjects)
        if (object->OutstandingReferences() != 0)
            left += "the error object of " + Narrow(method) + " with " +
                    std::to_string(object->OutstandingReferences()) + " references; ";
    return left;
}
