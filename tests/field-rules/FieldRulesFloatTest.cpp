// Scaled floats through the component: without decimals, the value text is
// the exact decimal value of the float's shortest round-trip text times the
// scale plus the offset, and the range is compared with that value.
#include "FieldCaseTable.h"
#include "RulesLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <random>

namespace {

// 1e-45 (the smallest float's shortest text) x 0.1, and 1.7976931348623157e308 x 7
// to 15 significant digits.
const std::string SmallestTimesATenth = std::string("0.").append(45, '0').append("1");
const std::string LargestDoubleTimesSeven = std::string("125838519440362").append(295, '0');

const FieldCase FloatCases[] = {
    {"3.0 x 0.5", "type = f32\nscale = 0.5", Bytes("40 40 00 00"), Plain, "1.5", "1.5", 0, nullptr},
    {"1.0 x 0.25", "type = f32\nscale = 0.25", Bytes("3F 80 00 00"), Plain, "0.25", "0.25", 0, nullptr},
    {"0.5 + 100", "type = f32\noffset = 100", Bytes("3F 00 00 00"), Plain, "100.5", "100.5", 0, nullptr},
    {"255.0 x 0.1, words swapped", "type = f32\norder = CDAB\nscale = 0.1", Bytes("00 00 43 7F"), Plain, "25.5", "25.5",
     0, nullptr},
    {"1.1 x 10", "type = f32\nscale = 10", Bytes("3F 8C CC CD"), Plain, "11", "11", 0, nullptr},
    {"1.5 within max 1.6", "type = f32\nscale = 0.5\nmax = 1.6", Bytes("40 40 00 00"), Plain, "1.5", "1.5", 0, nullptr},
    {"1.5 equal to max", "type = f32\nscale = 0.5\nmax = 1.5", Bytes("40 40 00 00"), Plain, "1.5", "1.5", 0, nullptr},
    {"1.5 above max 1.49", "type = f32\nscale = 0.5\nmax = 1.49", Bytes("40 40 00 00"), Plain, "1.5", "1.5", 1, nullptr},
    {"0.1 x 3: no binary noise", "type = f32\nscale = 3", Bytes("3D CC CC CD"), Plain, "0.3", "0.3", 0, nullptr},
    {"the largest float x 0.1", "type = f32\nscale = 0.1", Bytes("7F 7F FF FF"), Plain,
     "34028235000000000000000000000000000000", "34028235000000000000000000000000000000", 0, nullptr},
    {"the smallest float x 0.1", "type = f32\nscale = 0.1", Bytes("00 00 00 01"), Plain,
     SmallestTimesATenth.c_str(), nullptr, 0, nullptr},
    {"-2.5 x 0.1 - 0.05 with a unit", "type = f32\nscale = 0.1\noffset = -0.05\nunit = V", Bytes("C0 20 00 00"), Plain,
     "-0.3", "-0.3 V", 0, nullptr},
    {"f64: 0.1 x 0.1 is 0.01", "type = f64\nscale = 0.1", Bytes("3F B9 99 99 99 99 99 9A"), Plain, "0.01", "0.01", 0,
     nullptr},
    {"f64 rounded to 15 significant digits", "type = f64\nscale = 0.5", Bytes("3F F1 C7 1C 71 C7 1C 72"), Plain,
     "0.555555555555556", "0.555555555555556", 0, nullptr},
    {"f64 the largest double x 7", "type = f64\nscale = 7", Bytes("7F EF FF FF FF FF FF FF"), Plain,
     LargestDoubleTimesSeven.c_str(), nullptr, 0, nullptr},
    {"NaN stays NaN", "type = f32\nscale = 0.1", Bytes("7F C0 00 00"), Plain, "NaN", "NaN", 0, nullptr},
};

TEST(FieldRulesFloatTest, ScaledFloatsShowTheExactValueOfTheirShortestText) {
    std::vector<FieldCase> cases(std::begin(FloatCases), std::end(FloatCases));
    for (FieldCase& row : cases)
        if (!row.display) row.display = row.value;
    ExpectFieldCases(L"FloatTable", cases.data(), cases.size());
}

// The exact product of a float's shortest text and `factor` x 10^-shift, as
// plain decimal digits without trailing zeros: worked out on the digits.
std::string ExactProduct(float value, unsigned factor, int shift) {
    char text[64];
    char* const end = std::to_chars(text, text + sizeof text - 1, value, std::chars_format::scientific).ptr;
    *end = '\0';
    const char* e = std::find(text, end, 'e');
    std::string digits;  // the significand's digits, then its power of ten
    for (const char* c = text; c < e; ++c)
        if (*c >= '0' && *c <= '9') digits += *c;
    int power = std::atoi(e + 1) - static_cast<int>(digits.size() - 1) - shift;
    unsigned carry = 0;
    for (size_t i = digits.size(); i-- > 0;) {
        carry += static_cast<unsigned>(digits[i] - '0') * factor;
        digits[i] = static_cast<char>('0' + carry % 10);
        carry /= 10;
    }
    for (; carry; carry /= 10) digits.insert(digits.begin(), static_cast<char>('0' + carry % 10));
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back(), ++power;
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    // Appended piece by piece: a literal prepended to a temporary trips a false -Wrestrict in GCC 12.
    std::string shown(value < 0 && digits != "0" ? "-" : "");
    if (power >= 0) {
        shown.append(digits).append(static_cast<size_t>(power), '0');
    } else if (static_cast<int>(digits.size()) > -power) {
        const size_t whole = digits.size() - static_cast<size_t>(-power);
        shown.append(digits, 0, whole).append(".").append(digits, whole);
    } else {
        shown.append("0.").append(static_cast<size_t>(-power) - digits.size(), '0').append(digits);
    }
    return shown;
}

// A seeded sweep of float bit patterns (every exponent, both signs) times
// 0.5, 0.25, 0.1 and 7: at most 11 significant digits, all of them shown.
TEST(FieldRulesFloatTest, ASweepOfFloatsTimesFourScalesMatchesExactDecimalArithmetic) {
    const struct {
        const char* scale;
        unsigned factor;
        int shift;
    } Scales[] = {{"0.5", 5, 1}, {"0.25", 25, 2}, {"0.1", 1, 1}, {"7", 7, 0}};
    std::string rules;
    for (size_t i = 0; i < std::size(Scales); ++i)
        rules += RulesSection(i + 1, std::string("type = f32\nscale = ") + Scales[i].scale);
    const RulesLibrary library(L"FloatSweep", rules);
    RulesHost host(library.Path());
    std::mt19937 random(32960);
    int failures = 0;
    for (int n = 0; n < 2000 && failures < 5; ++n) {
        uint32_t bits = random();
        if ((bits & 0x7F800000) == 0x7F800000) bits &= 0xBFFFFFFF;  // finite
        float value;
        std::memcpy(&value, &bits, sizeof value);
        const auto& scale = Scales[static_cast<size_t>(n) % std::size(Scales)];
        const std::string field = {static_cast<char>(bits >> 24), static_cast<char>(bits >> 16),
                                   static_cast<char>(bits >> 8), static_cast<char>(bits)};
        const Explained explained = host.Explain(static_cast<LONG>(n % 4 + 1), field);
        const std::string expected = ExactProduct(value, scale.factor, scale.shift);
        if (explained.value == Wide(expected)) continue;
        ADD_FAILURE() << "bits " << std::hex << bits << " x " << scale.scale << ": expected " << expected;
        ++failures;
    }
}

}  // namespace
