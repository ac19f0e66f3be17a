#pragma once
// Builds JSON text out of members that are JSON text already (strings come
// from JsonString in OutputFormat.h).

#include <string>
#include <vector>

// One member per call of Add, in order.
class JsonObject {
public:
    JsonObject& Add(const char* name, const std::string& json) {
        FText.append(FText.empty() ? "{\"" : ",\"").append(name).append("\":").append(json);
        return *this;
    }
    std::string Close() const { return FText.empty() ? "{}" : FText + "}"; }

private:
    std::string FText;
};

// The items, each made JSON by `format`, as an array.
template <typename Item, typename Format>
std::string JsonArray(const std::vector<Item>& items, Format format) {
    std::string json = "[";
    for (size_t i = 0; i < items.size(); ++i) json.append(i ? "," : "").append(format(items[i]));
    return json + "]";
}

inline std::string JsonBool(bool value) { return value ? "true" : "false"; }
