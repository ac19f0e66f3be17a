#include "server/TrimTrailingPunctuation.h"

#include <windows.h>

namespace {

bool IsTrailingPunctuation(unsigned char c) { return c <= 32 || c == '.'; }

// The byte count of the character that starts at `position`: 2 for a lead
// byte followed by another byte, else 1.
size_t CharacterLength(std::string_view text, size_t position) {
    const bool hasSecondByte = position + 1 < text.size();
    return hasSecondByte && IsDBCSLeadByte(static_cast<BYTE>(text[position])) ? 2 : 1;
}

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
