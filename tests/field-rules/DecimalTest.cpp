// The exact decimal arithmetic of the field rules against a definition:
// schoolbook arithmetic on digit strings, which has no width to overflow.
// A seeded sweep of raw numbers of 64 bits times scales and plus offsets of
// up to 19 digits, rounded to given digits, plus the edges.
#include "Decimal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

namespace {

// A decimal as its definition: sign, digits of the magnitude (no leading
// zeros but for zero itself) and the digits after the point.
struct Exact {
    bool negative = false;
    std::string digits = "0";
    int exponent = 0;
};

// Texts are joined by appending: a literal prepended to a temporary string
// trips a false -Wrestrict in GCC 12.
std::string Signed(bool negative, const std::string& text) {
    std::string signedText(negative ? "-" : "");
    return signedText.append(text);
}

std::string StripZeros(std::string digits) {
    const size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

int CompareDigits(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : a == b ? 0 : 1;
}

std::string AddDigits(const std::string& a, const std::string& b) {
    std::string sum;
    int carry = 0;
    for (size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
        const int x = i < a.size() ? a[a.size() - 1 - i] - '0' : 0, y = i < b.size() ? b[b.size() - 1 - i] - '0' : 0;
        sum.push_back(static_cast<char>('0' + (x + y + carry) % 10));
        carry = (x + y + carry) / 10;
    }
    std::reverse(sum.begin(), sum.end());
    return StripZeros(sum);
}

// a - b for a >= b.
std::string SubtractDigits(const std::string& a, const std::string& b) {
    std::string difference;
    int borrow = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        int x = a[a.size() - 1 - i] - '0' - borrow - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
        borrow = x < 0;
        difference.push_back(static_cast<char>('0' + x + 10 * borrow));
    }
    std::reverse(difference.begin(), difference.end());
    return StripZeros(difference);
}

std::string MultiplyDigits(const std::string& a, const std::string& b) {
    std::vector<int> product(a.size() + b.size(), 0);
    for (size_t i = a.size(); i-- > 0;)
        for (size_t j = b.size(); j-- > 0;) product[i + j + 1] += (a[i] - '0') * (b[j] - '0');
    for (size_t k = product.size(); k-- > 1;) product[k - 1] += product[k] / 10, product[k] %= 10;
    std::string digits;
    for (int digit : product) digits.push_back(static_cast<char>('0' + digit));
    return StripZeros(digits);
}

Exact Aligned(Exact value, int exponent) {
    if (value.digits != "0") value.digits.append(static_cast<size_t>(exponent - value.exponent), '0');
    value.exponent = exponent;
    return value;
}

Exact Multiply(const Exact& a, const Exact& b) {
    Exact product{a.negative != b.negative, MultiplyDigits(a.digits, b.digits), a.exponent + b.exponent};
    product.negative = product.negative && product.digits != "0";
    return product;
}

Exact Add(const Exact& a, const Exact& b) {
    const int exponent = std::max(a.exponent, b.exponent);
    const Exact x = Aligned(a, exponent), y = Aligned(b, exponent);
    Exact sum;
    sum.exponent = exponent;
    if (x.negative == y.negative) {
        sum.digits = AddDigits(x.digits, y.digits);
        sum.negative = x.negative;
    } else if (CompareDigits(x.digits, y.digits) >= 0) {
        sum.digits = SubtractDigits(x.digits, y.digits);
        sum.negative = x.negative;
    } else {
        sum.digits = SubtractDigits(y.digits, x.digits);
        sum.negative = y.negative;
    }
    sum.negative = sum.negative && sum.digits != "0";
    return sum;
}

// The value with `decimals` digits after the point, halves away from zero, as text.
std::string Text(const Exact& value, int decimals) {
    std::string digits = value.digits;
    int exponent = value.exponent;
    if (exponent > decimals) {
        const size_t keep = digits.size() > static_cast<size_t>(exponent - decimals)
                                ? digits.size() - static_cast<size_t>(exponent - decimals)
                                : 0;
        const bool up = keep < digits.size() && digits[keep] >= '5' &&
                        digits.size() - keep == static_cast<size_t>(exponent - decimals);
        digits = StripZeros(keep ? digits.substr(0, keep) : "0");
        if (up) digits = AddDigits(digits, "1");
        exponent = decimals;
    }
    if (digits.size() <= static_cast<size_t>(exponent)) digits.insert(0, static_cast<size_t>(exponent) + 1 - digits.size(), '0');
    std::string text = digits.substr(0, digits.size() - static_cast<size_t>(exponent));
    if (decimals > 0) {
        text.push_back('.');
        text.append(digits, digits.size() - static_cast<size_t>(exponent));
        text.append(static_cast<size_t>(decimals - exponent), '0');
    }
    const bool zero = text.find_first_not_of("0.") == std::string::npos;
    return Signed(value.negative && !zero, text);
}

// 2^128: the magnitudes the arithmetic holds are below it.
const std::string Limit = "340282366920938463463374607431768211456";

bool Fits(const Exact& value) { return CompareDigits(value.digits, Limit) < 0; }

Decimal Parsed(const std::string& text) {
    Decimal value{};
    const char* end = ReadExactDecimal(text.c_str(), &value);
    EXPECT_TRUE(end && *end == '\0') << text;
    return value;
}

Exact ExactOf(const std::string& text) {
    Exact value;
    value.negative = text[0] == '-';
    const std::string unsigned_ = text.substr(text[0] == '-' || text[0] == '+');
    const size_t point = unsigned_.find('.');
    value.digits = StripZeros(point == std::string::npos ? unsigned_ : unsigned_.substr(0, point) + unsigned_.substr(point + 1));
    value.exponent = point == std::string::npos ? 0 : static_cast<int>(unsigned_.size() - point - 1);
    value.negative = value.negative && value.digits != "0";
    return value;
}

std::string Formatted(const Decimal& value, int decimals) {
    char text[128];
    FormatDecimal(&value, decimals, text, sizeof text);
    return text;
}

// A number of 1 to 19 digits with 0 to 18 of them after the point, either sign.
std::string RandomFactor(std::mt19937_64& random) {
    const int digits = static_cast<int>(random() % 19) + 1, decimals = static_cast<int>(random() % 19);
    std::string text = std::to_string(random() % 9 + 1);
    for (int i = 1; i < digits; ++i) text.push_back(static_cast<char>('0' + random() % 10));
    if (decimals >= static_cast<int>(text.size())) text.insert(0, static_cast<size_t>(decimals) - text.size() + 1, '0');
    const size_t whole = text.size() - static_cast<size_t>(decimals);
    std::string written(text, 0, whole);
    if (decimals) written.append(1, '.').append(text, whole);
    return Signed(random() % 2, written);
}

std::string RandomRaw(std::mt19937_64& random) {
    static const uint64_t Edges[] = {0, 1, 2, 9007199254740992ULL, 9007199254740993ULL, 9223372036854775807ULL,
                                     9223372036854775808ULL, 18446744073709551615ULL};
    const uint64_t magnitude = random() % 4 ? random() >> (random() % 64) : Edges[random() % std::size(Edges)];
    return Signed(random() % 2, std::to_string(magnitude));
}

TEST(DecimalTest, RawTimesScalePlusOffsetRoundedAsTheDefinitionSays) {
    std::mt19937_64 random(20240520);
    for (int i = 0; i < 20000; ++i) {
        const std::string raw = RandomRaw(random), scale = RandomFactor(random), offset = RandomFactor(random);
        const int decimals = static_cast<int>(random() % 19);
        SCOPED_TRACE(raw + " x " + scale + " + " + offset + ", decimals " + std::to_string(decimals));  // NOLINT
        const Decimal r = Parsed(raw), s = Parsed(scale), o = Parsed(offset);
        Decimal product{}, sum{};
        const Exact exactProduct = Multiply(ExactOf(raw), ExactOf(scale));
        ASSERT_EQ(Fits(exactProduct), DecimalMultiply(&r, &s, &product));
        const int exponent = std::max(exactProduct.exponent, ExactOf(offset).exponent);
        const Exact exactSum = Add(exactProduct, ExactOf(offset));
        const bool fits = Fits(Aligned(exactProduct, exponent)) && Fits(Aligned(ExactOf(offset), exponent)) &&
                          Fits(exactSum);
        ASSERT_EQ(fits, DecimalAdd(&product, &o, &sum));
        if (!fits) continue;
        EXPECT_EQ(Text(exactSum, exactSum.exponent), Formatted(sum, sum.exponent));
        EXPECT_EQ(Text(exactSum, decimals), Formatted(sum, decimals));
    }
}

// The product's edge: 2^128 - 1 is the largest magnitude there is room for.
TEST(DecimalTest, ProductsUpToTheLargestMagnitudeFitAndOneBeyondIsRefused) {
    const struct {
        const char* a;
        const char* b;
        bool fits;
        const char* product;
    } cases[] = {
        {"18446744073709551615", "18446744073709551617", true, "340282366920938463463374607431768211455"},
        {"-18446744073709551615", "18446744073709551617", true, "-340282366920938463463374607431768211455"},
        {"18446744073709551615", "18446744073709551618", false, ""},
        {"-18446744073709551616", "18446744073709551616", false, ""},
    };
    for (const auto& c : cases) {
        const Decimal a = Parsed(c.a), b = Parsed(c.b);
        Decimal product{};
        ASSERT_EQ(c.fits, DecimalMultiply(&a, &b, &product)) << c.a << " x " << c.b;
        if (c.fits) {
            EXPECT_EQ(c.product, Formatted(product, 0)) << c.a << " x " << c.b;
        }
    }
}

// The sum's edge: a sum or difference whose magnitude reaches 2^128 is
// refused, also when the operands' points are aligned first.
TEST(DecimalTest, SumsUpToTheLargestMagnitudeFitAndOneBeyondIsRefused) {
    const struct {
        const char* a;
        const char* b;
        const char* sum;  // nullptr: refused
    } cases[] = {
        {"340282366920938463463374607431768211455", "0", "340282366920938463463374607431768211455"},
        {"340282366920938463463374607431768211455", "1", nullptr},
        {"170141183460469231731687303715884105728", "170141183460469231731687303715884105727",
         "340282366920938463463374607431768211455"},
        {"170141183460469231731687303715884105728", "170141183460469231731687303715884105728", nullptr},
        {"-340282366920938463463374607431768211455", "-1", nullptr},
        {"-340282366920938463463374607431768211455", "340282366920938463463374607431768211455", "0"},
        {"34028236692093846346337460743176821145.5", "0.5", nullptr},
        {"34028236692093846346337460743176821145.5", "-0.5", "34028236692093846346337460743176821145.0"},
        {"3402823669209384634633746074317682114.55", "1", nullptr},
        {"3402823669209384634633746074317682114.55", "-1", "3402823669209384634633746074317682113.55"},
    };
    for (const auto& c : cases) {
        const Decimal a = Parsed(c.a), b = Parsed(c.b);
        Decimal sum{};
        ASSERT_EQ(c.sum != nullptr, DecimalAdd(&a, &b, &sum)) << c.a << " + " << c.b;
        if (c.sum) {
            EXPECT_EQ(c.sum, Formatted(sum, sum.exponent)) << c.a << " + " << c.b;
        }
    }
}

TEST(DecimalTest, TextsRoundHalfAwayFromZeroAndZeroHasNoSign) {
    const struct {
        const char* value;
        int decimals;
        const char* text;
    } Cases[] = {
        {"0.015", 2, "0.02"}, {"0.025", 2, "0.03"}, {"-0.015", 2, "-0.02"}, {"1.5", 0, "2"},    {"2.5", 0, "3"},
        {"-2.5", 0, "-3"},    {"2.49", 0, "2"},     {"-0.004", 2, "0.00"},  {"-0", 1, "0.0"},   {"12", 2, "12.00"},
        {"9.995", 2, "10.00"}, {"0.0001", 3, "0.000"}, {"1e-3", 3, "0.001"}, {"-273.0", 1, "-273.0"},
        {"1.5e2", 0, "150"}, {"18446744073709551615", 0, "18446744073709551615"},
    };
    for (const auto& c : Cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.text, Formatted(Parsed(c.value), c.decimals));
    }
}

TEST(DecimalTest, ComparesAcrossExponentsAndDividesToTheNearestWholeNumber) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        // a = A / 10^ea, b = B / 10^eb with small parts, so that int64 holds the definition.
        const int64_t A = static_cast<int64_t>(random() % 2000001) - 1000000;
        const int64_t B = static_cast<int64_t>(random() % 2000001) - 1000000;
        const int ea = static_cast<int>(random() % 4), eb = static_cast<int>(random() % 4);
        const int64_t scaleA = std::vector<int64_t>{1, 10, 100, 1000}[static_cast<size_t>(eb)];
        const int64_t scaleB = std::vector<int64_t>{1, 10, 100, 1000}[static_cast<size_t>(ea)];
        Decimal a{}, b{}, quotient{};
        DecimalFromSigned(A, &a), DecimalFromSigned(B, &b);
        a.exponent = ea, b.exponent = eb;
        SCOPED_TRACE(std::to_string(A) + "e-" + std::to_string(ea) + " / " + std::to_string(B) + "e-" + std::to_string(eb));
        const int64_t left = A * scaleA, right = B * scaleB;  // both at 10^-(ea + eb)
        EXPECT_EQ((left > right) - (left < right), DecimalCompare(&a, &b));
        ASSERT_EQ(B != 0, DecimalDivideRounded(&a, &b, &quotient));
        if (B == 0) continue;
        const int64_t n = left < 0 ? -left : left, d = right < 0 ? -right : right;
        const int64_t magnitude = (2 * n + d) / (2 * d);  // halves away from zero
        const int64_t expected = (left < 0) != (right < 0) ? -magnitude : magnitude;
        bool negative = false;
        uint64_t whole = 0;
        ASSERT_TRUE(DecimalToWhole(&quotient, &negative, &whole));
        EXPECT_EQ(expected, negative ? -static_cast<int64_t>(whole) : static_cast<int64_t>(whole));
    }
}

}  // namespace
