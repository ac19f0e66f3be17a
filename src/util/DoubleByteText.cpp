#include "util/DoubleByteText.h"

#include <windows.h>

size_t CharacterLength(std::string_view text, size_t position) noexcept {
    const bool hasSecondByte = position + 1 < text.size();
    return hasSecondByte && IsDBCSLeadByte(static_cast<BYTE>(text[position])) ? 2 : 1;
}

size_t LastCharacterStart(std::string_view text) noexcept {
    size_t start = 0;
    for (size_t position = 0; position < text.size(); position += CharacterLength(text, position)) start = position;
    return start;
}
