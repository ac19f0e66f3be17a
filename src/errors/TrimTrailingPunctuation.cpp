#include "errors/TrimTrailingPunctuation.h"

#include "util/DoubleByteText.h"

namespace {

bool IsTrailingPunctuation(unsigned char c) { return c <= 32 || c == '.'; }

}  // namespace

std::string TrimTrailingPunctuation(std::string_view text) {
    // Walk the characters from the front (the only sound way through a
    // double-byte text) and remember where the last one worth keeping ends.
    size_t keptLength = 0;
    for (size_t position = 0; position < text.size();) {
        const size_t length = CharacterLength(text, position);
        const bool removable = length == 1 && IsTrailingPunctuation(static_cast<unsigned char>(text[position]));
        position += length;
        if (!removable) keptLength = position;
    }
    return std::string(text.substr(0, keptLength));
}
