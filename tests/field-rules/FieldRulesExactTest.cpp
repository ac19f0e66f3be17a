// Exact values through the component: scaled integers computed in decimal
// as the rules file writes scale and offset, halves rounded away from zero,
// ranges compared with the value as shown, every digit of 64-bit values,
// the way back through Obscure to the very raw number, and the bit the
// component passes in single-bit mode.
#include "FieldCaseTable.h"
#include "RulesLibrary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <vector>

namespace {

const std::string ThreeE39 = "3" + std::string(39, '0');

// The faults an independent review found, and the decimal edges around them.
const FieldCase ExactCases[] = {
    {"zero from a fractional offset is zero, in range", "type = s16\nscale = 0.01\noffset = -0.05\nmin = 0",
     Bytes("00 05"), Plain, "0.00", "0.00", 0, "5"},
    {"zero from a tenth offset", "type = s16\nscale = 0.1\noffset = -0.3", Bytes("00 03"), Plain, "0.0", "0.0", 0, "3"},
    {"max exactly", "type = u16\nscale = 0.1\nmax = 0.3", Bytes("00 03"), Plain, "0.3", "0.3", 0, "3"},
    {"just above max", "type = u16\nscale = 0.1\nmax = 0.3", Bytes("00 04"), Plain, "0.4", "0.4", 1, "4"},
    {"min exactly at a hundredth", "type = u16\nscale = 0.01\nmin = 0.07", Bytes("00 07"), Plain, "0.07", "0.07", 0, "7"},
    {"just below min at a hundredth", "type = u16\nscale = 0.01\nmin = 0.07", Bytes("00 06"), Plain, "0.06", "0.06", 1,
     "6"},
    {"max exactly at a thousandth", "type = s32\nscale = 0.001\nmax = -1.001", Bytes("FF FF FC 17"), Plain, "-1.001",
     "-1.001", 0, "4294966295"},
    {"range compared as shown", "type = u16\nscale = 0.001\ndecimals = 2\nmax = 0.01", Bytes("00 0A"), Plain, "0.01",
     "0.01", 0, "10"},
    {"shown value rounds into range", "type = u16\nscale = 0.001\ndecimals = 2\nmax = 0.01", Bytes("00 0C"), Plain, "0.01",
     "0.01", 0, "10"},
    {"half away from zero: 0.015", "type = u16\nscale = 0.001\ndecimals = 2", Bytes("00 0F"), Plain, "0.02", "0.02", 0,
     "20"},
    {"half away from zero: 0.025", "type = u16\nscale = 0.001\ndecimals = 2", Bytes("00 19"), Plain, "0.03", "0.03", 0,
     "30"},
    {"half away from zero: -0.015", "type = s16\nscale = 0.001\ndecimals = 2", Bytes("FF F1"), Plain, "-0.02", "-0.02", 0,
     "65516"},
    {"scale 0.5: 1.5 rounds to 2", "type = u8\nscale = 0.5\ndecimals = 0", Bytes("03"), Plain, "2", "2", 0, "4"},
    {"scale 0.5: 2.5 rounds to 3", "type = u8\nscale = 0.5\ndecimals = 0", Bytes("05"), Plain, "3", "3", 0, "6"},
    {"digits of the scale as written", "type = u16\nscale = 0.01", Bytes("04 B0"), Plain, "12.00", "12.00", 0, "1200"},
    {"digits of scale and offset together", "type = s16\nscale = 0.1\noffset = -273.0\nunit = ℃", Bytes("0B 86"), Plain,
     "22.0", "22.0 ℃", 0, "2950"},
    {"an offset with more digits than the scale", "type = u8\nscale = 0.5\noffset = 0.25", Bytes("01"), Plain, "0.75",
     "0.75", 0, "1"},
    {"u64 with offset 1, largest raw", "type = u64\noffset = 1", Bytes("FF FF FF FF FF FF FF FF"), Plain,
     "18446744073709551616", "18446744073709551616", 0, "18446744073709551615"},
    {"u64 2^53 + 1", "type = u64\nscale = 1.0", Bytes("00 20 00 00 00 00 00 01"), Plain, "9007199254740993.0",
     "9007199254740993.0", 0, "9007199254740993"},
    {"u64 2^53 - 1 scaled", "type = u64\nscale = 0.001", Bytes("00 1F FF FF FF FF FF FF"), Plain, "9007199254740.991",
     "9007199254740.991", 0, "9007199254740991"},
    {"s64 most negative + 1 with decimals", "type = s64\ndecimals = 2", Bytes("80 00 00 00 00 00 00 01"), Plain,
     "-9223372036854775807.00", "-9223372036854775807.00", 0, "9223372036854775809"},
    {"s64 most negative", "type = s64\nscale = 0.01", Bytes("80 00 00 00 00 00 00 00"), Plain,
     "-92233720368547758.08", "-92233720368547758.08", 0, "9223372036854775808"},
    // The float 3e38 times 10: 3e39 in double precision, not a float's infinity.
    {"f32 scaled beyond a float's range", "type = f32\nscale = 10", Bytes("7F 61 B1 E6"), Plain, ThreeE39.c_str(),
     ThreeE39.c_str(), 0, "2137108966"},
    {"f32 scaled keeps the float's digits", "type = f32\nscale = 10", Bytes("3F 8C CC CD"), Plain, "11", "11", 0,
     "1066192077"},
    {"f32 range compared as shown", "type = f32\ndecimals = 1\nmax = 0.3", Bytes("3E 99 99 9A"), Plain, "0.3", "0.3", 0,
     "1050253722"},
    {"f32 with decimals: an exact half away from zero", "type = f32\ndecimals = 2", Bytes("3E 00 00 00"), Plain,
     "0.13", "0.13", 0, "1040522936"},
    {"f64 with decimals: a negative half", "type = f64\ndecimals = 0", Bytes("C0 04 00 00 00 00 00 00"), Plain, "-3",
     "-3", 0, "13837309855095848960"},
    {"hex format", "type = u32\nformat = hex", Bytes("00 01 00 00"), Plain, "00010000", "00010000", 0, "65536"},
    {"hex format, signed", "type = s16\nformat = hex", Bytes("FF FE"), Plain, "FFFE", "FFFE", 0, "65534"},
};

TEST(FieldRulesExactTest, ValuesAreExactRangesCompareAsShownAndObscureGoesBack) {
    ExpectFieldCases(L"ExactTable", ExactCases, std::size(ExactCases));
}

std::string FieldOf(uint64_t raw, int bytes);

// k steps of 10^-decimals as written: -0.30, 0.07.
std::string Steps(int k, int decimals) {
    const int unit = decimals == 1 ? 10 : decimals == 2 ? 100 : 1000, magnitude = k < 0 ? -k : k;
    char text[32];
    std::snprintf(text, sizeof text, "%s%d.%0*d", k < 0 ? "-" : "", magnitude / unit, decimals, magnitude % unit);
    return text;
}

// Every boundary from -100 to 100 steps of 0.1, 0.01 and 0.001, as both min
// and max of a rule whose offset is 3 steps below zero: the raw number that
// shows the boundary is in range, one step either side is not.
TEST(FieldRulesExactTest, EveryBoundaryOfARangeIsInsideIt) {
    struct Boundary {
        int decimals, steps;
    };
    std::vector<Boundary> boundaries;
    std::string rules;
    for (int decimals = 1; decimals <= 3; ++decimals)
        for (int k = -100; k <= 100; ++k) {
            const std::string step = Steps(1, decimals), boundary = Steps(k, decimals);
            rules += RulesSection(boundaries.size() + 1, "type = s16\nscale = " + step + "\noffset = " +
                                                             Steps(-3, decimals) + "\nmin = " + boundary +
                                                             "\nmax = " + boundary);
            boundaries.push_back({decimals, k});
        }
    const RulesLibrary library(L"Boundaries", rules);
    RulesHost host(library.Path());
    for (size_t i = 0; i < boundaries.size(); ++i) {
        const Boundary& b = boundaries[i];
        SCOPED_TRACE("boundary " + Steps(b.steps, b.decimals));
        for (int off = -1; off <= 1; ++off) {
            const uint16_t raw = static_cast<uint16_t>(b.steps + 3 + off);
            const Explained explained = host.Explain(static_cast<LONG>(i + 1), FieldOf(raw, 2));
            EXPECT_EQ(Wide(Steps(b.steps + off, b.decimals)), explained.value);
            EXPECT_EQ(off == 0 ? 0 : 1, explained.code) << "raw " << raw;
        }
    }
}

// The bit the component selected in single-bit mode is the raw number.
TEST(FieldRulesExactTest, InSingleBitModeTheRuleNamesTheBit) {
    const RulesLibrary library(L"BitMode", RulesSection(1, "type = u8\nnames = 0:UPS正常, 1:UPS故障"));
    RulesHost host(library.Path());
    const std::string field = Bytes("FE");  // bit 0 clear, bit 1 set
    EXPECT_EQ(L"UPS正常", host.Explain(1, field, false, 1, 0).display);
    const Explained set = host.Explain(1, field, false, 1, 1);
    EXPECT_EQ(L"1", set.value);
    EXPECT_EQ(L"UPS故障", set.display);
    EXPECT_EQ(L"254", host.Explain(1, field).value);  // not in bit mode: the byte
}

// Every raw value of a type (or a seeded sample of the wider ones) through
// Explain, and its value text back through Obscure to the same raw number.
struct SweepRule {
    const char* rule;
    int bytes;
    bool everyValue;  // else a seeded sample with the extremes
};

const SweepRule SweepRules[] = {
    {"type = u8\nscale = 0.1\noffset = -12.5", 1, true},
    {"type = s8\nscale = 0.5\noffset = 0.25\ndecimals = 2", 1, true},
    {"type = u16\nscale = 0.01\noffset = -0.05", 2, true},
    {"type = s16\nscale = 0.001\ndecimals = 4", 2, true},
    {"type = s16\nscale = 3\noffset = -7", 2, true},
    {"type = u32\nscale = 0.0001\noffset = 100.5", 4, false},
    {"type = s32\nscale = -0.25", 4, false},
    {"type = u64\nscale = 0.01\noffset = 0.01", 8, false},
    {"type = s64\nscale = 0.000001\noffset = -1", 8, false},
    {"type = s64", 8, false},
};

std::string FieldOf(uint64_t raw, int bytes) {
    std::string field;
    for (int i = bytes; i-- > 0;) field.push_back(static_cast<char>(raw >> (8 * i)));
    return field;
}

std::vector<uint64_t> SweepValues(const SweepRule& rule, std::mt19937_64& random) {
    std::vector<uint64_t> values;
    const uint64_t mask = rule.bytes == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * rule.bytes)) - 1;
    if (rule.everyValue) {
        for (uint64_t raw = 0; raw <= mask; ++raw) values.push_back(raw);
        return values;
    }
    for (uint64_t edge : {uint64_t{0}, uint64_t{1}, mask, mask >> 1, (mask >> 1) + 1, uint64_t{1} << 53,
                          (uint64_t{1} << 53) + 1})
        values.push_back(edge & mask);
    for (int i = 0; i < 1500; ++i) values.push_back(random() & mask);
    return values;
}

TEST(FieldRulesExactTest, EveryRawValueComesBackThroughObscure) {
    std::string rules;
    for (size_t i = 0; i < std::size(SweepRules); ++i) rules += RulesSection(i + 1, SweepRules[i].rule);
    const RulesLibrary library(L"RoundTrip", rules);
    RulesHost host(library.Path());
    std::mt19937_64 random(1363);
    for (size_t i = 0; i < std::size(SweepRules); ++i) {
        const SweepRule& rule = SweepRules[i];
        SCOPED_TRACE(rule.rule);
        int failures = 0;
        for (uint64_t raw : SweepValues(rule, random)) {
            const Explained explained = host.Explain(static_cast<LONG>(i + 1), FieldOf(raw, rule.bytes));
            const std::string value(explained.value.begin(), explained.value.end());  // digits, point and sign
            const auto digits = host.Obscure(static_cast<LONG>(i + 1), value);
            if (digits == std::to_string(raw)) continue;
            ADD_FAILURE() << "raw " << raw << ": value text " << value << " -> " << digits.value_or("declined");
            if (++failures == 5) break;
        }
    }
}

}  // namespace
