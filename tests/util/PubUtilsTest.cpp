// The text and byte conversions: hex text in, hex text out, bit text and
// delimited fields, with the exact messages of their failures.
#include "util/Exception.h"
#include "util/PubUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

using namespace std::string_literals;

namespace {

const std::string OddLengthMessage = "Error, chars are odd as Two-byte combination\xA3\xA1";

// The message the conversion raised, or a note that it raised nothing.
std::string MessageOf(const std::function<void()>& conversion) {
    try {
        conversion();
    } catch (const Exception& error) {
        return error.Message();
    }
    return "(nothing raised)";
}

std::string InvalidHex(const std::string& text) { return "Invalid hex char string: " + text + "!"; }

TEST(HexIn, ReadsUpToSixteenDigitsOfEitherCaseAsTwosComplement) {
    EXPECT_EQ(0x0123456789ABCDEFLL, HexStrToInt64("0123456789abcdef"));
    EXPECT_EQ(LLONG_MAX, HexStrToInt64("7fffffffffffffff"));
    EXPECT_EQ(-1, HexStrToInt64("FFFFFFFFFFFFFFFF"));
    EXPECT_EQ(LLONG_MIN, HexStrToInt64("8000000000000000"));
    EXPECT_EQ(1, HexStrToInt64("0000000000000001"));
    EXPECT_EQ(10, HexStrToInt64("a"));
}

TEST(HexIn, RefusesAnythingButOneToSixteenHexDigitsNamingTheWholeText) {
    for (const std::string& text : {""s, "00000000000000000"s, "1G"s, " 1"s, "-1"s, "0x1"s, "1\0"s})
        EXPECT_EQ(InvalidHex(text), MessageOf([&] { HexStrToInt64(text); })) << text;
}

TEST(HexIn, ReadsOneOrTwoDigitsAsAByte) {
    EXPECT_EQ(15, HexStrToByte("F"));
    EXPECT_EQ(15, HexStrToByte("0f"));
    EXPECT_EQ(255, HexStrToByte("ff"));
    for (const std::string& text : {"100"s, ""s, "G"s, "-1"s, "0000000000000001"s})
        EXPECT_EQ(InvalidHex(text), MessageOf([&] { HexStrToByte(text); })) << text;
}

TEST(HexIn, DecodesPairsAndReportsABadPairBeforeAnOddLength) {
    EXPECT_EQ("", HexStrToStr(""));
    EXPECT_EQ("AB", HexStrToStr("4142"));
    EXPECT_EQ("\x00\xFF"s, HexStrToStr("00ff"));
    EXPECT_EQ(OddLengthMessage, MessageOf([] { HexStrToStr("414"); }));
    EXPECT_EQ(OddLengthMessage, MessageOf([] { HexStrToStr("4"); }));
    EXPECT_EQ(OddLengthMessage, MessageOf([] { HexStrToStr("41G"); }));
    EXPECT_EQ(InvalidHex("4G"), MessageOf([] { HexStrToStr("4G42"); }));
    EXPECT_EQ(InvalidHex("4G"), MessageOf([] { HexStrToStr("4G4"); }));
    EXPECT_EQ(InvalidHex("-1"), MessageOf([] { HexStrToStr("41-1"); }));
}

TEST(HexOut, WritesTwoUpperCaseDigitsPerByte) {
    EXPECT_EQ("00", ByteToHexStr(0));
    EXPECT_EQ("0A", ByteToHexStr(10));
    EXPECT_EQ("AB", ByteToHexStr(171));
    EXPECT_EQ("FF", ByteToHexStr(255));
    EXPECT_EQ("", StrToHexStr(""));
    EXPECT_EQ("00AB7F", StrToHexStr("\x00\xAB\x7F"s));
}

TEST(HexOut, ReversesAnyBytes) {
    EXPECT_EQ("", ReverseStr(""));
    EXPECT_EQ("\x03\x02\x01\x00"s, ReverseStr("\x00\x01\x02\x03"s));
}

TEST(Bits, WritesEightBitsPerByteMostSignificantFirst) {
    EXPECT_EQ("", StrToBinStr(""));
    EXPECT_EQ("10100101", StrToBinStr("\xA5"));
    EXPECT_EQ("0000000110000000", StrToBinStr("\x01\x80"));
    EXPECT_EQ("00000000", StrToBinStr("\0"s));
}

struct FieldCase {
    std::string text;
    int32_t index;
    std::string field;
};

TEST(Fields, CutsAtTheDelimiterAndAnswersTheLastFieldForLargerIndexes) {
    const FieldCase cases[] = {
        {"a,b,c", 0, "a"},   {"a,b,c", 1, "b"},  {"a,b,c", 2, "c"},       {"a,b,c", 3, "c"},
        {"a,b,c", 100, "c"}, {"a,b,c", -1, ""},  {"a,,c", 1, ""},         {"a,b,", 2, ""},
        {",b", 0, ""},       {"abc", 0, "abc"},  {"abc", 1, ""},          {"", 0, ""},
        {"", 5, ""},         {"", -1, ""},       {" a , b ", 1, " b "},   {"a,b", INT_MAX, "b"},
    };
    for (const FieldCase& c : cases)
        EXPECT_EQ(c.field, GetDelimitedField(c.text, c.index, ',')) << c.text << " #" << c.index;
}

TEST(Fields, ComparesTheDelimiterByByteValue) {
    EXPECT_EQ("\xB0\xA1\xA3", GetDelimitedField("x\xA3\xAC\xB0\xA1\xA3", 1, '\xAC'));
    EXPECT_EQ("b", GetDelimitedField("a\0b"s, 1, '\0'));
}

}  // namespace
