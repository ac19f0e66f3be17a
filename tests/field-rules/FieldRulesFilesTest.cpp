// FieldRules.dll's rules files: the encodings it reads, copies of the
// library each reading the file of its own name, broken rules and a missing
// file, all through the component.
#include "RulesLibrary.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

const std::string SharedRules =
    "; the same rules in every encoding\n"
    "[3]\ntype = u16\nnames = 0:停止, 1:运行, 2:故障\n"
    "[4]\ntype = s16\nscale = 0.1\nunit = ℃\n";

TEST(FieldRulesFilesTest, CopiesReadTheirOwnFilesInGbkUtf8AndUtf16SideBySide) {
    const struct {
        const wchar_t* library;
        const char* unit;  // a rule each copy has on its own
        RulesEncoding encoding;
    } Copies[] = {
        {L"PumpStation", "GBK", RulesEncoding::Gbk},
        {L"Boiler", "UTF-8", RulesEncoding::Utf8},
        {L"Compressor", "UTF-8 BOM", RulesEncoding::Utf8Bom},
        {L"Chiller", "UTF-16", RulesEncoding::Utf16Bom},
    };
    std::vector<std::unique_ptr<RulesLibrary>> libraries;
    std::vector<std::unique_ptr<RulesHost>> hosts;  // released before the libraries' files are removed
    for (const auto& copy : Copies) {
        const std::string rules = SharedRules + RulesSection(9, std::string("type = u8\nunit = ") + copy.unit);
        libraries.push_back(std::make_unique<RulesLibrary>(copy.library, EncodeRules(rules, copy.encoding)));
        hosts.push_back(std::make_unique<RulesHost>(libraries.back()->Path()));
    }
    for (size_t i = 0; i < std::size(Copies); ++i) {
        SCOPED_TRACE(Copies[i].unit);
        RulesHost& host = *hosts[i];
        EXPECT_EQ(L"运行", host.Explain(3, Bytes("00 01")).display);
        EXPECT_EQ(L"25.0 ℃", host.Explain(4, Bytes("00 FA")).display);
        EXPECT_EQ(Wide(std::string("7 ") + Copies[i].unit), host.Explain(9, Bytes("07")).display);
        EXPECT_EQ("2", host.Obscure(3, "故障").value_or("declined"));
    }
    hosts.clear();
}

// Each breaks the rule of its section; the parameter must decline rather
// than show a value that may be wrong.
const struct {
    const char* name;
    const char* rule;
} BrokenRules[] = {
    {"unknown type", "type = u17"},
    {"no type", "scale = 2"},
    {"bad number", "type = u16\nscale = 0,01"},
    {"scale 0", "type = u16\nscale = 0"},
    {"names that do not parse", "type = u8\nnames = 0 stopped, 1:running"},
    {"a value named twice", "type = u8\nnames = 1:on, 1:off"},
    {"a name the ANSI code page cannot show", "type = u8\nnames = 1:😀"},
    {"a name wider than the type", "type = u8\nnames = 256:high"},
    {"a name wider than the mask", "type = u8\nmask = 0x30\nnames = 4:high"},
    {"a mask wider than the type", "type = u8\nmask = 0x100"},
    {"an order of another width", "type = u16\norder = ABCD"},
    {"an order for one byte", "type = u8\norder = AB"},
    {"names for a float", "type = f32\nnames = 0:off"},
    {"max below min", "type = u16\nmin = 10\nmax = 5"},
    {"an unknown key", "type = u8\nfactor = 2"},
    {"a key twice", "type = u8\ntype = u16"},
    {"a line that is no key", "type = u8\nscale 2"},
    {"a bias beyond a byte", "type = u8\nbias = 0x100"},
    {"a name no raw number shows", "type = u8\nscale = 2\nnames = 1:odd"},
    {"a name beyond the scaled type", "type = u8\nscale = 0.1\nnames = 26:high"},
    {"bcd in a word order", "type = bcd\norder = BADC"},
    {"time without a layout", "type = time"},
    {"a layout with an unknown part", "type = time\nlayout = YY MM XX"},
    {"a date without its day", "type = time\nlayout = YY MM"},
    {"a layout for another type", "type = u8\nlayout = hh mm"},
    {"an unknown encoding", "type = time\nlayout = hh mm\nencoding = bcd8"},
    {"a scale for a text", "type = text\nscale = 2"},
    {"flags beside names", "type = u8\nflags = 0:a\nnames = 0:b"},
    {"flags beside a mask", "type = u8\nflags = 0:a\nmask = 0x0F"},
    {"a flag beyond the type", "type = u8\nflags = 8:high"},
    {"flags for a float", "type = f32\nflags = 0:a"},
    {"an alarm beyond the type", "type = u8\nalarms = 9"},
    {"none without flags", "type = u8\nnone = ok"},
    {"hex format with a scale", "type = u16\nformat = hex\nscale = 0.1"},
    {"an unknown format", "type = u16\nformat = octal"},
    {"a scale beyond exact arithmetic", "type = u16\nscale = 0.0000000000000000001"},
    {"a marker wider than the type", "type = u8\nmarkers = 0x100:无效"},
    {"a negative marker of an unsigned type", "type = u16\nmarkers = -1:无效"},
    {"a marker wider than the mask", "type = u8\nmask = 0x0F\nmarkers = 0x1F:无效"},
    {"a marker named as a value", "type = u8\nnames = 1:无效\nmarkers = 0xFF:无效"},
    {"markers for a float", "type = f32\nmarkers = 0:无效"},
    {"marker_code without markers", "type = u8\nmarker_code = 3"},
    {"scale_exponent without scale_exponent_at", "type = u16\nscale_exponent = -2"},
    {"a default exponent beyond 10", "type = u16\nscale_exponent_at = 2\nscale_exponent = 11"},
    {"hex format with a scale exponent", "type = u16\nformat = hex\nscale_exponent_at = 2"},
    {"a base for u16", "type = u16\nbase = 16"},
    {"base 8", "type = ascii\nbase = 8"},
    {"flags for a decimal ascii", "type = ascii\nflags = 0:a"},
    {"bits too narrow for the day", "type = time\nlayout = YY MM DD\nbits = 8 4 4"},
    {"bits for fewer tokens", "type = time\nlayout = YY MM DD\nbits = 7 4"},
    {"bits beside an encoding", "type = time\nlayout = YY MM DD\nbits = 7 4 5\nencoding = binary"},
    {"bits beyond 64", "type = time\nlayout = YYYY MM DD hh mm ss\nbits = 32 4 5 5 6 32"},
    {"a packed time in an order of another width", "type = time\nlayout = YY MM DD\nbits = 7 4 5\norder = ABCD"},
    {"bits for a number", "type = u16\nbits = 7 4 5"},
    {"flags for bcd", "type = bcd\nflags = 0:a"},
    {"a mask for bcd", "type = bcd\nmask = 0x0F"},
};

TEST(FieldRulesFilesTest, ABrokenRuleDeclinesWhileTheOthersWork) {
    std::string rules = "[1]\ntype = u8\n[50]\ntype = u8\n[50]\ntype = u8\n";  // [50] twice: both decline
    for (size_t i = 0; i < std::size(BrokenRules); ++i)
        rules += RulesSection(i + 100, BrokenRules[i].rule);
    const RulesLibrary library(L"BrokenRules", rules);
    RulesHost host(library.Path());
    const std::string field = Bytes("01 02 03 04 05 06 07 08");
    EXPECT_EQ(L"1", host.Explain(1, field).value);
    EXPECT_TRUE(host.Explain(50, field).declined);
    for (size_t i = 0; i < std::size(BrokenRules); ++i) {
        SCOPED_TRACE(BrokenRules[i].name);
        const LONG paramId = static_cast<LONG>(i + 100);
        EXPECT_TRUE(host.Explain(paramId, field).declined);
        EXPECT_FALSE(host.Obscure(paramId, "1"));
    }
}

TEST(FieldRulesFilesTest, WithoutItsRulesFileEveryParameterDeclines) {
    const RulesLibrary library(L"NoRulesFile", "");
    RulesHost host(library.Path());
    EXPECT_TRUE(host.Explain(1, Bytes("00 01")).declined);
    EXPECT_FALSE(host.Obscure(1, "1"));
}

}  // namespace
