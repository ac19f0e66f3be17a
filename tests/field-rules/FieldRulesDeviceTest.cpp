// What devices write beyond plain numbers, through the component: markers
// for "no reading", a power of ten sent beside the value, numbers and times
// written as characters, dates packed into bits, and Obscure of them.
#include "FieldCaseTable.h"
#include "RulesLibrary.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const char* const Declined = "declined";

const FieldCase DeviceCases[] = {
    // Markers: the raw number after mask, before scale and offset; code 2 unless marker_code says.
    {"GB/T 32960 current 0.0 A", "type = u16\nscale = 0.1\noffset = -1000\nunit = A\nmarkers = 0xFFFE:异常, 0xFFFF:无效",
     Bytes("27 10"), Plain, "0.0", "0.0 A", 0, "10000"},
    {"GB/T 32960 current abnormal", "type = u16\nscale = 0.1\noffset = -1000\nunit = A\nmarkers = 0xFFFE:异常, 0xFFFF:无效",
     Bytes("FF FE"), Plain, "异常", "异常", 2, "65534"},
    {"s16 marker written in hex", "type = s16\nscale = 0.01\nmax = 10\nmarkers = 0x8000:未实现", Bytes("80 00"), Plain,
     "未实现", "未实现", 2, "32768"},
    {"s16 marker written negative", "type = s16\nscale = 0.01\nmarkers = -32768:未实现", Bytes("80 00"), Plain, "未实现",
     "未实现", 2, "32768"},
    {"s16 next to the marker", "type = s16\nscale = 0.01\nmarkers = 0x8000:未实现", Bytes("80 01"), Plain, "-327.67",
     "-327.67", 0, "32769"},
    {"u32 marker with scale and offset", "type = u32\nscale = 0.001\noffset = -1\nmarkers = 0xFFFFFFFF:无效",
     Bytes("FF FF FF FF"), Plain, "无效", "无效", 2, "4294967295"},
    {"u32 beside the marker", "type = u32\nscale = 0.001\noffset = -1\nmarkers = 0xFFFFFFFF:无效", Bytes("00 00 03 E8"),
     Plain, "0.000", "0.000", 0, "1000"},
    {"masked marker", "type = u16\nmask = 0x0FFF\nscale = 0.5\nmarkers = 0xFFF:无效", Bytes("FF FF"), Plain, "无效",
     "无效", 2, "4095"},
    {"masked value", "type = u16\nmask = 0x0FFF\nscale = 0.5\nmarkers = 0xFFF:无效", Bytes("3F FE"), Plain, "2047.0",
     "2047.0", 0, "4094"},
    {"marker_code", "type = u8\nmarkers = 0xFF:无效\nmarker_code = 5", Bytes("FF"), Plain, "无效", "无效", 5, "255"},
    {"no range or alarm on a marker", "type = u16\nalarms = 15\nmin = 10\nmarkers = 0xFFFF:无效", Bytes("FF FF"), Plain,
     "无效", "无效", 2, "65535"},
    {"bcd marker before the digit check", "type = bcd\nscale = 0.1\nmarkers = 0xFFFF:无效", Bytes("FF FF"), Plain,
     "无效", "无效", 2, Declined},
    {"bcd beside the marker", "type = bcd\nscale = 0.1\nmarkers = 0xFFFF:无效", Bytes("12 34"), Plain, "123.4", "123.4",
     0, "1234"},
    {"bcd marker of digits", "type = bcd\nmarkers = 0x9999:无效", Bytes("99 99"), Plain, "无效", "无效", 2, "9999"},
    // A power of ten in the field, in the rule's byte order.
    {"SunSpec A with A_SF -2", "type = u16\nscale_exponent_at = 8\nunit = A\nmarkers = 0xFFFF:未实现",
     Bytes("05 E6 FF FF FF FF FF FF FF FE"), Plain, "15.10", "15.10 A", 0, Declined},
    {"SunSpec A not implemented", "type = u16\nscale_exponent_at = 8\nunit = A\nmarkers = 0xFFFF:未实现",
     Bytes("FF FF FF FF FF FF FF FF 80 00"), Plain, "未实现", "未实现", 2, "65535"},
    {"exponent -3", "type = u16\nscale_exponent_at = 2\nscale_exponent = -3", Bytes("04 D2 FF FD"), Plain, "1.234",
     "1.234", 0, "1234"},
    {"exponent -2", "type = u16\nscale_exponent_at = 2\nscale_exponent = -2", Bytes("04 D2 FF FE"), Plain, "12.34",
     "12.34", 0, "1234"},
    {"exponent -1", "type = u16\nscale_exponent_at = 2\nscale_exponent = -1", Bytes("04 D2 FF FF"), Plain, "123.4",
     "123.4", 0, "1234"},
    {"exponent 0", "type = u16\nscale_exponent_at = 2\nscale_exponent = 0", Bytes("04 D2 00 00"), Plain, "1234", "1234",
     0, "1234"},
    {"exponent 1", "type = u16\nscale_exponent_at = 2\nscale_exponent = 1", Bytes("04 D2 00 01"), Plain, "12340",
     "12340", 0, "1234"},
    {"exponent 2", "type = u16\nscale_exponent_at = 2\nscale_exponent = 2", Bytes("04 D2 00 02"), Plain, "123400",
     "123400", 0, "1234"},
    {"exponent 3", "type = u16\nscale_exponent_at = 2\nscale_exponent = 3", Bytes("04 D2 00 03"), Plain, "1234000",
     "1234000", 0, "1234"},
    {"exponent 10", "type = u16\nscale_exponent_at = 2", Bytes("04 D2 00 0A"), Plain, "12340000000000",
     "12340000000000", 0, Declined},
    {"exponent -10", "type = u16\nscale_exponent_at = 2", Bytes("04 D2 FF F6"), Plain, "0.0000001234", "0.0000001234",
     0, Declined},
    {"exponent 11", "type = u16\nscale_exponent_at = 2", Bytes("04 D2 00 0B"), Plain, nullptr, nullptr, 0, nullptr},
    {"exponent -11", "type = u16\nscale_exponent_at = 2", Bytes("04 D2 FF F5"), Plain, nullptr, nullptr, 0, nullptr},
    {"field too short for the exponent", "type = u16\nscale_exponent_at = 2", Bytes("04 D2 FF"), Plain, nullptr,
     nullptr, 0, nullptr},
    {"exponent with scale, offset, BA", "type = s16\norder = BA\nscale = 0.5\noffset = 1\nscale_exponent_at = 2",
     Bytes("FD FF FF FF"), Plain, "0.85", "0.85", 0, Declined},
    // bcd and sbcd read the whole field, the exponent's bytes too: the rule is refused.
    {"bcd with scale_exponent_at", "type = bcd\nscale_exponent_at = 2", Bytes("12 34 00 02"), Plain, nullptr, nullptr,
     0, nullptr},
    {"sbcd with scale_exponent_at", "type = sbcd\nscale_exponent_at = 2", Bytes("12 34 00 02"), Plain, nullptr,
     nullptr, 0, nullptr},
    // A marker's name that Obscure would read as a value, and one raw number marked twice, are refused.
    {"marker named as a flag", "type = u8\nflags = 0:正常, 1:故障\nmarkers = 0xFF:正常", Bytes("01"), Plain, nullptr,
     nullptr, 0, nullptr},
    {"marker named as none", "type = u8\nflags = 0:正常\nnone = 无\nmarkers = 0xFF:无", Bytes("01"), Plain, nullptr,
     nullptr, 0, nullptr},
    {"marker named as a number", "type = u16\nmarkers = 0xFFFF:0", Bytes("00 01"), Plain, nullptr, nullptr, 0,
     nullptr},
    {"marker named as a hex number", "type = u16\nmarkers = 0xFFFF:0x1", Bytes("00 01"), Plain, nullptr, nullptr, 0,
     nullptr},
    {"one marker twice", "type = s16\nmarkers = 0x8000:未实现, -32768:重复", Bytes("00 01"), Plain, nullptr, nullptr,
     0, nullptr},
    // check-rules' frame keys are ignored whatever their value.
    {"bad frame keys are ignored", "type = u16\nstart = 0\ncount = x\nhex = maybe", Bytes("00 FA"), Plain, "250",
     "250", 0, "250"},
    // A packed token of 32 bits beyond its token's numbers declines.
    {"packed minute 4294967295", "type = time\nlayout = hh mm\nbits = 5 32", Bytes("57 FF FF FF F8 00 00 00"), Plain,
     nullptr, nullptr, 0, nullptr},
    {"packed minute 59 in 32 bits", "type = time\nlayout = hh mm\nbits = 5 32", Bytes("50 00 00 01 D8 00 00 00"),
     Plain, "10:59", "10:59", 0, Declined},
    {"packed year 4294967295", "type = time\nlayout = YYYY MM DD\nbits = 32 8 8", Bytes("FF FF FF FF 01 01 00 00"),
     Plain, nullptr, nullptr, 0, nullptr},
    {"packed year 2024 in 32 bits", "type = time\nlayout = YYYY MM DD\nbits = 32 8 8",
     Bytes("00 00 07 E8 05 14 00 00"), Plain, "2024-05-20", "2024-05-20", 0, Declined},
    // ascii in base 2 and 16: integers that flags, names, mask and hex apply to.
    {"base 2 status with flags", "type = ascii\nbase = 2\nflags = 1:充电中, 2:充电完成, 4:负载开", "00010110", Plain,
     "22", "充电中、充电完成、负载开", 0, "22"},
    {"base 2 as hex", "type = ascii\nbase = 2\nformat = hex", "00110110", Plain, "36", "36", 0, "54"},
    {"base 2 with an alarm bit", "type = ascii\nbase = 2\nalarms = 2", "00000100", Plain, "4", "4", 1, "4"},
    {"check-rules' frame keys are ignored", "type = u16\nstart = 5\ncount = 2\nhex = yes", Bytes("00 FA"), Plain, "250",
     "250", 0, "250"},
    {"base 16 masked with names", "type = ascii\nbase = 16\nmask = 0xF0\nnames = 1:运行, 2:停机", "1A", Plain, "1",
     "运行", 0, "16"},
    {"base 16 masked as hex", "type = ascii\nbase = 16\nmask = 0x0FFF\nformat = hex", "a12f", Plain, "12F", "12F", 0,
     "303"},
    {"base 2 with a digit 2", "type = ascii\nbase = 2", "0012", Plain, nullptr, nullptr, 0, nullptr},
    {"base 16 with a G", "type = ascii\nbase = 16", "1G", Plain, nullptr, nullptr, 0, nullptr},
    // Obscure of ascii: the raw number's digits, zero-padded to digits.
    {"ascii setting 40 A", "type = ascii\nunit = A\ndigits = 3", "040", Plain, "40", "40 A", 0, "040"},
    {"ascii with decimals", "type = ascii\ndecimals = 1\nunit = V", "208.4", Plain, "208.4", "208.4 V", 0, "2084"},
    {"ascii negative", "type = ascii", " -12.5", Plain, "-12.5", "-12.5", 0, Declined},
    {"ascii no number", "type = ascii", "12a", Plain, nullptr, nullptr, 0, nullptr},
    // Times written as characters, and Obscure of times.
    {"ascii time", "type = time\nlayout = hh:mm:ss\nencoding = ascii", "101415", Plain, "10:14:15", "10:14:15", 0,
     "101415"},
    {"ascii hour 24", "type = time\nlayout = hh:mm:ss\nencoding = ascii", "240000", Plain, nullptr, nullptr, 0, nullptr},
    {"ascii time with a letter", "type = time\nlayout = hh:mm:ss\nencoding = ascii", "1014a5", Plain, nullptr, nullptr,
     0, nullptr},
    {"ascii date", "type = time\nlayout = YYYY-MM-DD\nencoding = ascii", "20240229", Plain, "2024-02-29",
     "2024-02-29", 0, "20240229"},
    {"ascii 2023-02-29", "type = time\nlayout = YYYY-MM-DD\nencoding = ascii", "20230229", Plain, nullptr, nullptr, 0,
     nullptr},
    {"bcd date and time with weekday", "type = time\nlayout = YY MM DD WW hh mm ss\norder = DCBA",
     Bytes("00 30 10 01 20 05 24"), Plain, "2024-05-20 10:30:00", "2024-05-20 10:30:00", 0, "24052001103000"},
    {"binary time: no Obscure", "type = time\nlayout = hh mm ss\nencoding = binary", Bytes("0A 1E 00"), Plain,
     "10:30:00", "10:30:00", 0, Declined},
    {"packed date", "type = time\nlayout = YY MM DD\nbits = 7 4 5", Bytes("30 B4"), Plain, "2024-05-20",
     "2024-05-20", 0, Declined},
    {"packed date low byte first", "type = time\nlayout = YY MM DD\nbits = 7 4 5\norder = BA", Bytes("B4 30"), Plain,
     "2024-05-20", "2024-05-20", 0, Declined},
};

TEST(FieldRulesDeviceTest, MarkersExponentsCharactersAndTimesExplainAndObscure) {
    ExpectFieldCases(L"DeviceTable", DeviceCases, std::size(DeviceCases));
}

TEST(FieldRulesDeviceTest, ObscureOfATimeTakesTheShapeExplainShows) {
    const RulesLibrary library(L"TimeObscure", RulesSection(1, "type = time\nlayout = YYYY MM DD hh mm ss") +
                                                   RulesSection(2, "type = time\nlayout = hh mm") +
                                                   RulesSection(3, "type = time\nlayout = YY MM DD WW"));
    RulesHost host(library.Path());
    EXPECT_EQ("20240520103000", host.Obscure(1, "2024-05-20 10:30:00").value_or(Declined));
    EXPECT_EQ("20240520103000", host.Obscure(1, "2024-05-20 10:30").value_or(Declined));
    EXPECT_EQ(Declined, host.Obscure(1, "2024-05-20").value_or(Declined));
    EXPECT_EQ(Declined, host.Obscure(1, "2024-13-20 10:30:00").value_or(Declined));
    EXPECT_EQ(Declined, host.Obscure(1, "2024-05-20 24:00:00").value_or(Declined));
    EXPECT_EQ("0915", host.Obscure(2, "09:15").value_or(Declined));
    EXPECT_EQ(Declined, host.Obscure(2, "09:15:00").value_or(Declined));
    EXPECT_EQ("24052001", host.Obscure(3, "2024-05-20").value_or(Declined));  // a Monday
    EXPECT_EQ("24052600", host.Obscure(3, "2024-05-26").value_or(Declined));  // a Sunday: 0
    EXPECT_EQ(Declined, host.Obscure(3, "2100-01-01").value_or(Declined));    // YY holds 2000 to 2099
}

// A number whose raw number is a marker's would send the device its own
// "no reading": Obscure declines it, and sends the marker's number only for
// the marker's name.
TEST(FieldRulesDeviceTest, ObscureDeclinesAValueWhoseRawNumberIsAMarker) {
    const RulesLibrary library(L"MarkerValues",
                               RulesSection(1, "type = u16\nscale = 0.1\nmarkers = 0xFFFF:无效") +
                                   RulesSection(2, "type = s16\nmarkers = -32768:未实现") +
                                   RulesSection(3, "type = bcd\nmarkers = 0x9999:无效") +
                                   RulesSection(4, "type = ascii\nbase = 16\nmarkers = 0xFF:无效"));
    RulesHost host(library.Path());
    EXPECT_EQ(Declined, host.Obscure(1, "6553.5").value_or(Declined));
    EXPECT_EQ("65534", host.Obscure(1, "6553.4").value_or(Declined));
    EXPECT_EQ("65535", host.Obscure(1, "无效").value_or(Declined));
    EXPECT_EQ(Declined, host.Obscure(2, "-32768").value_or(Declined));
    EXPECT_EQ("32769", host.Obscure(2, "-32767").value_or(Declined));
    EXPECT_EQ(Declined, host.Obscure(3, "9999").value_or(Declined));
    EXPECT_EQ("9998", host.Obscure(3, "9998").value_or(Declined));
    EXPECT_EQ(Declined, host.Obscure(4, "255").value_or(Declined));
    EXPECT_EQ("254", host.Obscure(4, "254").value_or(Declined));
}

bool LeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysIn(int year, int month) {
    if (month == 2) return LeapYear(year) ? 29 : 28;
    return month == 4 || month == 6 || month == 9 || month == 11 ? 30 : 31;
}

// Every month and day a packed YY MM DD (7 4 5 bits) can hold, in a common
// and a leap year: the possible dates show, the others decline.
TEST(FieldRulesDeviceTest, APackedDateShowsEveryPossibleDateAndDeclinesTheOthers) {
    const RulesLibrary library(L"PackedDates", RulesSection(1, "type = time\nlayout = YY MM DD\nbits = 7 4 5"));
    RulesHost host(library.Path());
    for (int year : {2023, 2024, 2099})
        for (int month = 0; month < 16; ++month)
            for (int day = 0; day < 32; ++day) {
                const unsigned packed = static_cast<unsigned>((year - 2000) << 9 | month << 5 | day);
                const Explained explained =
                    host.Explain(1, std::string{static_cast<char>(packed >> 8), static_cast<char>(packed & 0xFF)});
                const bool possible = month >= 1 && month <= 12 && day >= 1 && day <= DaysIn(year, month);
                char text[16];
                std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
                ASSERT_EQ(!possible, explained.declined) << text;
                if (possible) {
                    ASSERT_EQ(Wide(text), explained.value);
                }
            }
}

// Days since 1970-01-01 of a proleptic Gregorian date, by eras of 400 years
// (independent of the weekday formula under test); 1970-01-01 was a Thursday.
long long DaysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
}

// Every day of years 0000, 0001, 1900, 2000 and 2024: the weekday Obscure
// writes for WW is the calendar's.
TEST(FieldRulesDeviceTest, ObscureWritesTheWeekdayOfEveryDay) {
    const RulesLibrary library(L"Weekdays", RulesSection(1, "type = time\nlayout = YYYY MM DD WW"));
    RulesHost host(library.Path());
    for (int year : {0, 1, 1900, 2000, 2024})
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= DaysIn(year, month); ++day) {
                const int weekday = static_cast<int>(((DaysFromCivil(year, month, day) + 4) % 7 + 7) % 7);
                char text[16], digits[16];
                std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
                std::snprintf(digits, sizeof digits, "%04d%02d%02d%02d", year, month, day, weekday);
                ASSERT_EQ(digits, host.Obscure(1, text).value_or(Declined)) << text;
            }
}

}  // namespace
