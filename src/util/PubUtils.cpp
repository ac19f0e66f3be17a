#include "util/PubUtils.h"

std::string GetDelimitedField(std::string_view text, int32_t index, char delimiter) {
    if (index < 0) return {};
    size_t fieldStart = 0;
    int32_t delimitersPassed = 0;
    for (size_t position = 0; position < text.size(); ++position) {
        if (text[position] != delimiter) continue;
        if (delimitersPassed == index) return std::string(text.substr(fieldStart, position - fieldStart));
        ++delimitersPassed;
        fieldStart = position + 1;
    }
    if (delimitersPassed == 0 && index > 0) return {};
    return std::string(text.substr(fieldStart));
}
