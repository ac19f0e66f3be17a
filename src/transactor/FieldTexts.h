#pragma once
// The texts Explain derives from the bytes of a field. Of a hex-encoded
// field, the decoded bytes are in frame order and the ordered bytes are the
// same the other way round; of any other field, both are the field itself.

#include "util/StackBuffer.h"
#include "util/UniqueBstr.h"

#include <string_view>

class FieldTexts {
public:
    // Decodes a hex-encoded field, with HexStrToStr's failures.
    FieldTexts(std::string_view field, bool hexEncoded);
    FieldTexts(const FieldTexts&) = delete;
    FieldTexts& operator=(const FieldTexts&) = delete;

    // The first of the ordered bytes; the field must not be empty.
    char FirstOrderedByte() const noexcept;

    // For the host: StrToBinStr of the decoded bytes, StrToHexStr of the
    // ordered bytes, and the ordered bytes themselves as 8-bit text.
    UniqueBstr BitText() const;
    UniqueBstr OrderedHexText() const;
    UniqueBstr OrderedText() const;

    // For the extension, the value text as 8-bit text: StrToHexStr of the
    // ordered bytes of a hex-encoded field, else the field.
    std::string_view ValueText();

private:
    std::string_view Decoded() const noexcept { return FHexEncoded ? FDecoded.View() : FField; }

    std::string_view FField;
    bool FHexEncoded;
    StackBuffer<char> FDecoded;
    StackBuffer<char> FValueText;
};
