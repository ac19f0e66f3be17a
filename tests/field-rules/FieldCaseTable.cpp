#include "FieldCaseTable.h"

#include "RulesLibrary.h"

#include <gtest/gtest.h>

namespace {

std::string RulesOf(const FieldCase* cases, size_t count) {
    std::string rules = "; one section per case\n";
    for (size_t i = 0; i < count; ++i) rules += RulesSection(i + 1, cases[i].rule);
    return rules;
}

}  // namespace

void ExpectFieldCases(const wchar_t* libraryName, const FieldCase* cases, size_t count) {
    const RulesLibrary library(libraryName, RulesOf(cases, count));
    RulesHost host(library.Path());
    for (size_t i = 0; i < count; ++i) {
        const FieldCase& row = cases[i];
        SCOPED_TRACE(row.name);
        const LONG paramId = static_cast<LONG>(i + 1);
        const Explained explained = host.Explain(paramId, row.field, row.hexEncoded);
        EXPECT_EQ(row.value == nullptr, explained.declined);
        if (!row.value) continue;
        EXPECT_EQ(Wide(row.value), explained.value);
        EXPECT_EQ(Wide(row.display), explained.display);
        EXPECT_EQ(row.code, explained.code);
        if (row.digits) {
            EXPECT_EQ(row.digits, host.Obscure(paramId, row.value).value_or("declined"));
        }
    }
}
