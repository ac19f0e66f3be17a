// The sample extension, loaded as the component loads it and called through
// its undecorated exports: 16-bit fields to engineering values and names, and
// the way back to the digits the host sends.
#include "contracts/ExtensionEntryPoints.h"
#include "util/UniqueModule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Explained {
    int32_t result;
    std::string value, display;
    uint16_t code;
};

class EngineeringUnits : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FModule) << "EngineeringUnits.dll did not load";
        FExplain = reinterpret_cast<ExplainParamProc>(
            reinterpret_cast<void*>(GetProcAddress(FModule.Get(), ExplainParamName)));
        FObscure = reinterpret_cast<ObscureParamProc>(
            reinterpret_cast<void*>(GetProcAddress(FModule.Get(), ObscureParamName)));
        ASSERT_TRUE(FExplain && FObscure);
    }

    Explained Explain(int32_t paramId, const std::string& valueText) {
        std::vector<char> valueOut(ExtensionBufferSize, '\x7F'), displayOut(ExtensionBufferSize, '\x7F');
        Explained explained{};
        explained.result = FExplain(valueText.data(), static_cast<int32_t>(valueText.size()), "", 0, "", 0, paramId,
                                    &explained.code, valueOut.data(), displayOut.data(), nullptr);
        if (explained.result == 0) {
            explained.value = valueOut.data();
            explained.display = displayOut.data();
        }
        return explained;
    }

    // The digits, or "refused".
    std::string Obscure(int32_t paramId, const std::string& valueText, int32_t width = 0) {
        std::vector<char> digits(ExtensionBufferSize, '\x7F');
        const int32_t result = FObscure(valueText.data(), static_cast<int32_t>(valueText.size()), "", 0, paramId,
                                        digits.data(), width, 0, 0, 0, nullptr);
        return result == 0 ? std::string(digits.data()) : "refused";
    }

private:
    UniqueModule FModule{LoadLibraryA("EngineeringUnits.dll")};
    ExplainParamProc FExplain = nullptr;
    ObscureParamProc FObscure = nullptr;
};

const std::string Running = "\xD4\xCB\xD0\xD0";  // 运行 in GBK

TEST_F(EngineeringUnits, ExplainsScaledValuesWithTheirUnit) {
    const Explained voltage = Explain(1, "04D2");
    EXPECT_EQ(0, voltage.result);
    EXPECT_EQ("12.34", voltage.value);
    EXPECT_EQ("12.34 V", voltage.display);
    EXPECT_EQ(0, voltage.code);

    const Explained current = Explain(2, "\xFF\x83");  // a binary field, two raw bytes
    EXPECT_EQ("-12.5", current.value);
    EXPECT_EQ("-12.5 A", current.display);
    EXPECT_EQ(0, current.code);

    EXPECT_EQ(1, Explain(1, "FFFF").code);  // 655.35 V is outside 0 to 60
}

TEST_F(EngineeringUnits, NamesEnumeratedStates) {
    const Explained running = Explain(3, "0001");
    EXPECT_EQ("1", running.value);
    EXPECT_EQ(Running, running.display);
    EXPECT_EQ(0, running.code);
    const Explained unknown = Explain(3, "0007");
    EXPECT_EQ("\xCE\xB4\xD6\xAA(7)", unknown.display);
    EXPECT_EQ(1, unknown.code);
}

TEST_F(EngineeringUnits, DeclinesWhatItDoesNotKnow) {
    EXPECT_EQ(1, Explain(99, "04D2").result);
    EXPECT_EQ(1, Explain(1, "04D").result);
    EXPECT_EQ(1, Explain(1, "04DG").result);
    EXPECT_EQ("refused", Obscure(99, "1"));
    EXPECT_EQ("refused", Obscure(1, "12,34"));
    EXPECT_EQ("refused", Obscure(1, "655.36"));
    EXPECT_EQ("refused", Obscure(3, "7"));
    EXPECT_EQ("refused", Obscure(1, std::string("12\0x", 4)));  // a zero byte ends no number
    EXPECT_EQ("refused", Obscure(1, std::string(300, '1')));      // longer than any value text
}

TEST_F(EngineeringUnits, ObscuresBackToTheRawDigits) {
    EXPECT_EQ("01234", Obscure(1, "12.34", 5));
    EXPECT_EQ("1234", Obscure(1, "12.34"));
    EXPECT_EQ("65411", Obscure(2, "-12.5"));
    EXPECT_EQ("0001", Obscure(3, Running, 4));
    EXPECT_EQ("2", Obscure(3, "2"));
}

}  // namespace
