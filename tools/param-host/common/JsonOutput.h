#pragma once
// JSON output through nlohmann/json: objects keep their members in the
// order they were added. Texts go in as UTF-8 (the library throws on bytes
// that are not UTF-8): wide texts through JsonValue.

#include "common/OutputFormat.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

using nlohmann::ordered_json;

// The JSON text of `json`, its texts escaped as JsonString escapes them:
// control characters and DEL as \u00XX with upper-case digits (\n, \r, \t,
// \" and \\ as such), every other character as it is.
std::string JsonOutput(const ordered_json& json);

// A value as JSON: wide texts as UTF-8, a missing value as null, numbers,
// truth values and ASCII texts as they are.
inline ordered_json JsonValue(const std::wstring& text) { return Utf8FromWide(text); }
inline ordered_json JsonValue(const wchar_t* text) { return Utf8FromWide(text); }
template <typename Value>
ordered_json JsonValue(const Value& value) {
    return value;
}
template <typename Value>
ordered_json JsonValue(const std::optional<Value>& value) {
    return value ? JsonValue(*value) : ordered_json();
}

// The items, each made JSON by `format`, as an array.
template <typename Item, typename Format>
ordered_json JsonItems(const std::vector<Item>& items, Format format) {
    ordered_json array = ordered_json::array();
    for (const Item& item : items) array.push_back(format(item));
    return array;
}
