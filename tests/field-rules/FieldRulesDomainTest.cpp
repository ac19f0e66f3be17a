// Whole domains through the component: every byte of each time token in bcd
// and binary, every width of a hex-formatted bit field, and sbcd numbers
// whose top digit is 8 or 9, which share their byte with the sign bit.
#include "RulesLibrary.h"

#include "FieldDecode.h"
#include "RuleParser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {

struct TimeToken {
    const char* layout;  // the token under test is the byte at `at`, the others a fixed valid value
    size_t at;
    int lowest, highest;  // the numbers the token may hold (days of January)
};

const TimeToken Tokens[] = {
    {"hh mm ss", 0, 0, 23}, {"hh mm ss", 1, 0, 59}, {"hh mm ss", 2, 0, 59},
    {"YY MM DD", 1, 1, 12}, {"YY MM DD", 2, 1, 31},
};

// The text a valid token shows, the others at 24-01-01 and 00:00:00.
std::string Shown(const TimeToken& token, int number) {
    int parts[3] = {token.layout[0] == 'Y' ? 24 : 0, token.layout[0] == 'Y' ? 1 : 0, token.layout[0] == 'Y' ? 1 : 0};
    parts[token.at] = number;
    char text[16];
    if (token.layout[0] == 'Y')
        std::snprintf(text, sizeof text, "20%02d-%02d-%02d", parts[0], parts[1], parts[2]);
    else
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", parts[0], parts[1], parts[2]);
    return text;
}

// Every byte 0 to 255 as each token of a time, in bcd (a byte with a digit
// above 9 declines) and in binary: exactly the numbers the token may hold show.
TEST(FieldRulesDomainTest, EveryByteOfEachTimeTokenInBcdAndBinary) {
    std::string rules;
    for (size_t i = 0; i < std::size(Tokens); ++i) {
        rules += RulesSection(2 * i + 1, std::string("type = time\nlayout = ") + Tokens[i].layout);
        rules += RulesSection(2 * i + 2, std::string("type = time\nencoding = binary\nlayout = ") + Tokens[i].layout);
    }
    const RulesLibrary library(L"TimeTokens", rules);
    RulesHost host(library.Path());
    for (size_t i = 0; i < std::size(Tokens); ++i) {
        const TimeToken& token = Tokens[i];
        for (int byte = 0; byte < 256; ++byte) {
            for (const bool binary : {false, true}) {
                const bool digits = (byte >> 4) <= 9 && (byte & 0xF) <= 9;
                const int number = binary ? byte : (byte >> 4) * 10 + (byte & 0xF);
                const bool valid = (binary || digits) && number >= token.lowest && number <= token.highest;
                std::string field = token.layout[0] == 'Y' ? std::string(binary ? "\x18\x01\x01" : "\x24\x01\x01")
                                                           : std::string(3, '\0');
                field[token.at] = static_cast<char>(byte);
                const Explained explained = host.Explain(static_cast<LONG>(2 * i + (binary ? 2 : 1)), field);
                ASSERT_EQ(!valid, explained.declined)
                    << token.layout << " byte " << token.at << " = " << byte << (binary ? " binary" : " bcd");
                if (valid) {
                    ASSERT_EQ(Wide(Shown(token, number)), explained.value);
                }
            }
        }
    }
}

// format = hex for a mask of every width from 1 to 64 bits, at varying
// positions: the masked bits, shifted down, in as many hex digits as the
// width needs (5 bits: two).
TEST(FieldRulesDomainTest, HexFormatShowsEveryMaskWidthInItsDigits) {
    std::string rules;
    for (unsigned width = 1; width <= 64; ++width) {
        const unsigned shift = (width * 7) % (65 - width);
        const uint64_t mask = (width == 64 ? ~uint64_t{0} : (uint64_t{1} << width) - 1) << shift;
        char keys[96];
        std::snprintf(keys, sizeof keys, "type = u64\nformat = hex\nmask = 0x%llX", static_cast<unsigned long long>(mask));
        rules += RulesSection(width, keys);
    }
    const RulesLibrary library(L"HexWidths", rules);
    RulesHost host(library.Path());
    std::mt19937_64 random(645);
    for (unsigned width = 1; width <= 64; ++width) {
        const unsigned shift = (width * 7) % (65 - width);
        for (const uint64_t raw : {~uint64_t{0}, uint64_t{0}, uint64_t{random()}, uint64_t{random()}}) {
            std::string field;
            for (int i = 7; i >= 0; --i) field.push_back(static_cast<char>(raw >> (8 * i)));
            const uint64_t bits = width == 64 ? raw : (raw >> shift) & ((uint64_t{1} << width) - 1);
            char expected[24];
            std::snprintf(expected, sizeof expected, "%0*llX", static_cast<int>((width + 3) / 4),
                          static_cast<unsigned long long>(bits));
            ASSERT_EQ(Wide(expected), host.Explain(static_cast<LONG>(width), field).value) << "width " << width;
        }
    }
}

// sbcd: the top bit of the first byte is the sign, so a number whose top
// digit is 8 or 9 needs a byte in front (00 89 99 is 8999, 89 99 is -999).
TEST(FieldRulesDomainTest, SbcdWithTopDigitsEightAndNineKeepsTheSignBitFree) {
    const RulesLibrary library(L"SbcdTop", RulesSection(1, "type = sbcd"));
    RulesHost host(library.Path());
    EXPECT_EQ(L"8999", host.Explain(1, Bytes("00 89 99")).value);
    EXPECT_EQ(L"-8999", host.Explain(1, Bytes("80 89 99")).value);
    EXPECT_EQ(L"-999", host.Explain(1, Bytes("89 99")).value);
    EXPECT_EQ(L"-1199", host.Explain(1, Bytes("91 99")).value);

    // The way back, as check-rules writes examples: every length, top digit 8 and 9, either sign.
    RuleBook book{};
    const std::wstring text = L"[1]\ntype = sbcd\n";
    ParseRuleText(text.c_str(), text.size(), &book);
    ASSERT_EQ(0u, book.problemCount);
    std::mt19937_64 random(8);
    for (int digits = 1; digits <= 15; ++digits)
        for (const uint64_t top : {uint64_t{8}, uint64_t{9}})
            for (const bool negative : {false, true}) {
                uint64_t magnitude = top;
                for (int i = 1; i < digits; ++i) magnitude = magnitude * 10 + random() % 10;
                FieldValue value{};
                value.kind = KindSigned;
                value.as.s = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
                uint8_t field[FieldMaxBytes];
                const size_t width = EncodeField(&book.rules[0], &value, field);
                EXPECT_EQ(static_cast<size_t>(digits / 2 + 1), width) << magnitude;  // a byte for the sign
                FieldValue back{};
                ASSERT_TRUE(DecodeField(&book.rules[0], field, width, &back)) << magnitude;
                EXPECT_EQ(value.as.s, back.as.s) << magnitude;
            }
    FreeRuleBook(&book);
}

}  // namespace
