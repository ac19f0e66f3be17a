// FieldRules.dll through the component: the ExplainLibrary and
// ObscureLibrary of a transactor name a copy of it, and the host's calls go
// through the COM vtable. One table of rules and frames covers every type
// and byte order, scaling, names, bit fields, range codes and hex-encoded
// fields, and the way back through Obscure from each explained value.
#include "FieldCaseTable.h"
#include "RulesLibrary.h"

#include <gtest/gtest.h>

#include <clocale>
#include <vector>

namespace {

// 123456789 is 07 5B CD 15, 1.0f is 3F 80 00 00 and 1.0 is 3F F0 00 .. 00,
// each here in every byte order.
const FieldCase FieldCases[] = {
    {"u8", "type = u8", Bytes("FE"), Plain, "254", "254", 0, "254"},
    {"s8 negative", "type = s8", Bytes("FE"), Plain, "-2", "-2", 0, "254"},
    {"u16 AB", "type = u16\norder = AB", Bytes("12 34"), Plain, "4660", "4660", 0, "4660"},
    {"u16 BA", "type = u16\norder = BA", Bytes("34 12"), Plain, "4660", "4660", 0, "4660"},
    {"s16 negative, AB by default", "type = s16", Bytes("FF 83"), Plain, "-125", "-125", 0, "65411"},
    {"u32 ABCD", "type = u32\norder = ABCD", Bytes("07 5B CD 15"), Plain, "123456789", "123456789", 0, "123456789"},
    {"u32 DCBA", "type = u32\norder = DCBA", Bytes("15 CD 5B 07"), Plain, "123456789", "123456789", 0, "123456789"},
    {"u32 BADC", "type = u32\norder = BADC", Bytes("5B 07 15 CD"), Plain, "123456789", "123456789", 0, "123456789"},
    {"u32 CDAB", "type = u32\norder = CDAB", Bytes("CD 15 07 5B"), Plain, "123456789", "123456789", 0, "123456789"},
    {"s32 DCBA negative", "type = s32\norder = dcba", Bytes("FE FF FF FF"), Plain, "-2", "-2", 0, "4294967294"},
    {"u64 ABCD", "type = u64", Bytes("01 02 03 04 05 06 07 08"), Plain, "72623859790382856",
     "72623859790382856", 0, "72623859790382856"},
    {"u64 DCBA", "type = u64\norder = DCBA", Bytes("08 07 06 05 04 03 02 01"), Plain, "72623859790382856",
     "72623859790382856", 0, "72623859790382856"},
    {"u64 BADC", "type = u64\norder = BADC", Bytes("02 01 04 03 06 05 08 07"), Plain, "72623859790382856",
     "72623859790382856", 0, "72623859790382856"},
    {"u64 CDAB", "type = u64\norder = CDAB", Bytes("07 08 05 06 03 04 01 02"), Plain, "72623859790382856",
     "72623859790382856", 0, "72623859790382856"},
    {"u64 largest, exactly", "type = u64", Bytes("FF FF FF FF FF FF FF FF"), Plain, "18446744073709551615",
     "18446744073709551615", 0, "18446744073709551615"},
    {"s64 negative", "type = s64", Bytes("FF FF FF FF FF FF FF FF"), Plain, "-1", "-1", 0, "18446744073709551615"},
    {"f32 ABCD", "type = f32", Bytes("3F 80 00 00"), Plain, "1", "1", 0, "1065353216"},
    {"f32 DCBA", "type = f32\norder = DCBA", Bytes("00 00 80 3F"), Plain, "1", "1", 0, "1065353216"},
    {"f32 BADC", "type = f32\norder = BADC", Bytes("80 3F 00 00"), Plain, "1", "1", 0, "1065353216"},
    {"f32 CDAB", "type = f32\norder = CDAB", Bytes("00 00 3F 80"), Plain, "1", "1", 0, "1065353216"},
    {"f32 with the digits a float needs", "type = f32", Bytes("3F 8C CC CD"), Plain, "1.1", "1.1", 0, "1066192077"},
    {"f32 not a number", "type = f32", Bytes("7F C0 00 00"), Plain, "NaN", "NaN", 0, nullptr},
    {"f64 ABCD", "type = f64", Bytes("3F F0 00 00 00 00 00 00"), Plain, "1", "1", 0, "4607182418800017408"},
    {"f64 DCBA", "type = f64\norder = DCBA", Bytes("00 00 00 00 00 00 F0 3F"), Plain, "1", "1", 0,
     "4607182418800017408"},
    {"f64 BADC", "type = f64\norder = BADC", Bytes("F0 3F 00 00 00 00 00 00"), Plain, "1", "1", 0,
     "4607182418800017408"},
    {"f64 CDAB", "type = f64\norder = CDAB", Bytes("00 00 00 00 00 00 3F F0"), Plain, "1", "1", 0,
     "4607182418800017408"},
    {"bcd", "type = bcd", Bytes("12 34"), Plain, "1234", "1234", 0, "1234"},
    {"bcd DCBA, any length", "type = bcd\norder = DCBA", Bytes("56 34 12"), Plain, "123456", "123456", 0, "123456"},
    {"bcd after a bias", "type = bcd\nbias = 0x33\norder = DCBA", Bytes("67 45"), Plain, "1234", "1234", 0, "1234"},
    {"sbcd negative", "type = sbcd", Bytes("80 12 34"), Plain, "-1234", "-1234", 0, nullptr},
    {"sbcd positive", "type = sbcd", Bytes("00 12 34"), Plain, "1234", "1234", 0, "1234"},
    {"ascii with blanks and a sign", "type = ascii\nscale = 10\nunit = W", " -12.5 ", Plain, "-125.0",
     "-125.0 W", 0, nullptr},
    {"ascii that is no number declines", "type = ascii", "12.5.1", Plain, nullptr, nullptr, 0, nullptr},
    {"text without its trailing blanks and zeros", "type = text", std::string("UPS 3000 \0\0", 11), Plain,
     "UPS 3000", "UPS 3000", 0, nullptr},
    {"date and time, binary, four-digit year", "type = time\nlayout = YYYY-MM-DD hh:mm:ss\nencoding = binary",
     Bytes("07 E8 02 1D 17 3B 3B"), Plain, "2024-02-29 23:59:59", "2024-02-29 23:59:59", 0, nullptr},
    {"an impossible date declines", "type = time\nlayout = YY MM DD", Bytes("23 02 29"), Plain, nullptr, nullptr, 0,
     nullptr},
    {"hours and minutes", "type = time\nlayout = hhmm", Bytes("08 05"), Plain, "08:05", "08:05", 0, nullptr},
    {"flags of set bits, lowest first", "type = u8\nflags = 0:过压, 1:欠压, 7:故障\nalarms = 7",
     Bytes("83"), Plain, "131", "过压、欠压、故障", 1, "131"},
    {"flags with no named bit set", "type = u8\nflags = 0:过压, 1:欠压\nnone = 正常", Bytes("04"), Plain, "4",
     "正常", 0, "4"},
    {"flags without none show the value", "type = u16\nflags = 0:过压\nseparator = /\nunit = x", Bytes("00 00"),
     Plain, "0", "0 x", 0, "0"},
    {"bcd with a digit above 9 declines", "type = bcd", Bytes("1A"), Plain, nullptr, nullptr, 0, nullptr},

    {"scaled f32 in CDAB order with a unit", "type = f32\norder = CDAB\nscale = 0.1\ndecimals = 2\nunit = ℃",
     Bytes("40 00 43 80"), Plain, "25.65", "25.65 ℃", 0, "1132478464"},
    {"scaled with decimals", "type = u16\nscale = 0.01\ndecimals = 2\nunit = V", Bytes("04 D2"), Plain, "12.34",
     "12.34 V", 0, "1234"},
    {"decimals pad", "type = u16\nscale = 0.5\ndecimals = 2", Bytes("00 19"), Plain, "12.50", "12.50", 0, "25"},
    {"scaled without decimals: no binary noise", "type = u16\nscale = 0.01", Bytes("04 D2"), Plain, "12.34",
     "12.34", 0, "1234"},
    {"an integer with decimals", "type = u16\ndecimals = 2", Bytes("00 05"), Plain, "5.00", "5.00", 0, "5"},
    {"offset", "type = s16\nscale = 0.1\noffset = -40\nunit = ℃", Bytes("02 8A"), Plain, "25.0", "25.0 ℃", 0,
     "650"},
    {"negative scaled", "type = s16\nscale = 0.1\nunit = A", Bytes("FF 83"), Plain, "-12.5", "-12.5 A", 0,
     "65411"},
    {"above max", "type = u16\nscale = 0.01\nmax = 60\nunit = V", Bytes("FF FF"), Plain, "655.35", "655.35 V", 1,
     "65535"},
    {"below min", "type = s16\nmin = 0", Bytes("FF FF"), Plain, "-1", "-1", 1, "65535"},
    {"within range", "type = s16\nmin = -1\nmax = 1", Bytes("FF FF"), Plain, "-1", "-1", 0, "65535"},

    {"a name", "type = u16\nnames = 0:停止, 1:运行, 2:故障", Bytes("00 01"), Plain, "1", "运行", 0, "1"},
    {"no name for the value", "type = u16\nnames = 0:停止, 1:运行", Bytes("00 07"), Plain, "7", "7", 1, "7"},
    {"no name, but in range", "type = u8\nnames = 0:off\nmin = 0\nmax = 10", Bytes("05"), Plain, "5", "5", 0, "5"},
    {"a negative name", "type = s8\nnames = -1:fault, 0:ok", Bytes("FF"), Plain, "-1", "fault", 0, "255"},
    {"full-width separators", "type = u8\nnames = 0：关，1：开", Bytes("01"), Plain, "1", "开", 0, "1"},
    {"names of a scaled rule name the value as shown", "type = u16\nscale = 0.1\nnames = 0:停止, 1:运行",
     Bytes("00 0A"), Plain, "1.0", "运行", 0, "10"},
    {"a scaled value between names", "type = u16\nscale = 0.1\nnames = 0:停止, 1:运行", Bytes("00 05"), Plain, "0.5",
     "0.5", 1, "5"},
    {"a full-width semicolon separates", "type = u8\nnames = 0:关；1:开", Bytes("01"), Plain, "1", "开", 0, "1"},

    {"bit field", "type = u8\nmask = 0x30\nnames = 0:关, 1:开", Bytes("1F"), Plain, "1", "开", 0, "16"},
    {"bit field, other bits ignored", "type = u8\nmask = 0x30\nnames = 0:关, 1:开", Bytes("CF"), Plain, "0", "关",
     0, "0"},
    {"bit field without a name", "type = u8\nmask = 0x30\nnames = 0:关, 1:开", Bytes("20"), Plain, "2", "2", 1,
     "32"},
    {"signed bit field", "type = s8\nmask = 0xF0", Bytes("F0"), Plain, "-1", "-1", 0, "240"},
    {"bit field across bytes", "type = u16\norder = BA\nmask = 0x0FF0", Bytes("40 12"), Plain, "36", "36", 0,
     "576"},

    {"hex-encoded, in frame order", "type = u16\norder = BA\nscale = 0.01\ndecimals = 2\nunit = V", "D204", Hex,
     "12.34", "12.34 V", 0, "1234"},
    {"hex-encoded CDAB", "type = u32\norder = CDAB", "cd15075b", Hex, "123456789", "123456789", 0, "123456789"},
    {"a longer hex field: its first bytes", "type = u16", "0102FFFF", Hex, "258", "258", 0, "258"},
    {"a longer field: its first bytes", "type = u16", Bytes("01 02 03"), Plain, "258", "258", 0, "258"},
    {"a shorter field declines", "type = u32", Bytes("01 02"), Plain, nullptr, nullptr, 0, nullptr},
};

TEST(FieldRulesTest, ExplainsEveryTypeAndOrderAndObscuresBack) {
    ExpectFieldCases(L"FieldTable", FieldCases, std::size(FieldCases));
}

struct ObscureCase {
    const char* name;
    const char* rule;
    const char* valueText;
    LONG hostWidth;   // GetObscureIntA
    const char* digits;  // nullptr: declined, the host's own text is sent
};

const ObscureCase ObscureCases[] = {
    {"a name", "type = u16\nnames = 0:停止, 1:运行, 2:故障", "运行", 0, "1"},
    {"a number for a named value", "type = u16\nnames = 0:停止, 1:运行, 2:故障", "2", 0, "2"},
    {"the unit may follow", "type = u16\nscale = 0.01\nunit = V", "12.34 V", 0, "1234"},
    {"rounded to nearest", "type = u16\nscale = 0.01", "12.346", 0, "1235"},
    {"blanks around", "type = u16", "  42 ", 0, "42"},
    {"padded to the host's width", "type = u16\nscale = 0.01", "12.34", 6, "001234"},
    {"padded to the rule's digits", "type = u16\ndigits = 5", "42", 8, "00042"},
    {"longer than the rule's digits", "type = u16\ndigits = 3", "1234", 0, nullptr},
    {"above the type", "type = u16\nscale = 0.01", "655.36", 0, nullptr},
    {"below the type", "type = s8", "-129", 0, nullptr},
    {"negative for an unsigned type", "type = u8", "-1", 0, nullptr},
    {"too large for the bit field", "type = u8\nmask = 0x30", "4", 0, nullptr},
    {"above the largest float", "type = f32", "1e39", 0, nullptr},
    {"bcd", "type = bcd", "1234", 0, "1234"},
    {"not a number", "type = u16", "12,34", 0, nullptr},
    {"another unit", "type = u16\nunit = V", "12 A", 0, nullptr},
    {"an unknown name", "type = u16\nnames = 0:停止", "运行", 0, nullptr},
    {"a name of a scaled rule", "type = s16\nscale = 0.5\noffset = -1\nnames = -1:关, 3:开", "开", 0, "8"},
    {"rounded half away from zero", "type = s16\nscale = 0.01", "-0.015", 0, "65534"},
    {"flags by their names", "type = u8\nflags = 0:过压, 1:欠压, 7:故障", "故障、过压", 0, "129"},
    {"flags as a number", "type = u8\nflags = 0:过压, 1:欠压", "3", 0, "3"},
    {"flags with another separator", "type = u8\nflags = 0:A, 1:B\nseparator = +", "A + B", 0, "3"},
    {"the text of none", "type = u8\nflags = 0:过压\nnone = 正常", "正常", 0, "0"},
    {"an unknown flag", "type = u8\nflags = 0:过压", "欠压", 0, nullptr},
    {"hex text back", "type = u16\nformat = hex", "00FF", 0, "255"},
    {"hex text too wide", "type = u8\nformat = hex", "100", 0, nullptr},
    {"a negative sbcd declines", "type = sbcd", "-12", 0, nullptr},
    {"sbcd positive", "type = sbcd\nscale = 0.1", "12.3", 0, "123"},
    {"ascii: the raw number's digits", "type = ascii", "12", 0, "12"},
    {"ascii: digits after the point as decimals says", "type = ascii\ndecimals = 1", "12.3", 0, "123"},
    {"ascii: more digits than decimals decline", "type = ascii\ndecimals = 1", "12.25", 0, nullptr},
    {"text declines", "type = text", "abc", 0, nullptr},
    {"time: two digits per token", "type = time\nlayout = hh mm", "10:30", 0, "1030"},
};

TEST(FieldRulesTest, ObscuresNamesAndNumbersWithinTheTypeAndWidth) {
    std::string rules;
    for (size_t i = 0; i < std::size(ObscureCases); ++i)
        rules += RulesSection(i + 1, ObscureCases[i].rule);
    const RulesLibrary library(L"ObscureTable", rules);
    RulesHost host(library.Path());
    for (size_t i = 0; i < std::size(ObscureCases); ++i) {
        const ObscureCase& row = ObscureCases[i];
        SCOPED_TRACE(row.name);
        const auto digits = host.Obscure(static_cast<LONG>(i + 1), row.valueText, row.hostWidth);
        EXPECT_EQ(row.digits ? row.digits : "declined", digits.value_or("declined"));
    }
}

// The C runtime's locale belongs to the whole host process; one that writes
// decimal commas must change neither the texts nor what Obscure reads.
TEST(FieldRulesTest, NumbersKeepTheirPointInAHostWithADecimalCommaLocale) {
    const RulesLibrary library(L"CommaLocale", RulesSection(1, "type = u16\nscale = 0.01\nunit = V"));
    RulesHost host(library.Path());
    ASSERT_TRUE(std::setlocale(LC_NUMERIC, "German_Germany.1252"));
    const Explained voltage = host.Explain(1, Bytes("04 D2"));
    const auto digits = host.Obscure(1, "12.34 V");
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(L"12.34 V", voltage.display);
    EXPECT_EQ("1234", digits.value_or("declined"));
}

}  // namespace
