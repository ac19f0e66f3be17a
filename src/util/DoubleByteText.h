#pragma once
// Walking an 8-bit text of the system ANSI code page character by character:
// a lead byte and the byte after it make one double-byte character. Only a
// walk from the front finds the characters: a second byte may look like a
// lead byte or like an ASCII character.

#include <cstddef>
#include <string_view>

// The byte count of the character that starts at `position`: 2 for a lead
// byte followed by another byte, else 1.
size_t CharacterLength(std::string_view text, size_t position) noexcept;

// Where the last character of `text` starts; 0 for an empty text.
size_t LastCharacterStart(std::string_view text) noexcept;
