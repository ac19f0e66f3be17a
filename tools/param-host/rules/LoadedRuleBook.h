#pragma once
// The rule book of one rules file, read by the code FieldRules.dll runs and
// given back when it goes.

#include "RuleParser.h"

#include <string>

class LoadedRuleBook {
public:
    LoadedRuleBook() = default;
    LoadedRuleBook(const LoadedRuleBook&) = delete;
    LoadedRuleBook& operator=(const LoadedRuleBook&) = delete;
    ~LoadedRuleBook() { FreeRuleBook(&FBook); }

    RuleFileStatus Load(const std::wstring& path) { return LoadRuleBook(path.c_str(), &FBook); }
    const RuleBook& Book() const { return FBook; }

private:
    RuleBook FBook{};
};
