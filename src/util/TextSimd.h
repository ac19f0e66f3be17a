#pragma once
// SSE2 versions of the hex and bit conversions of PubUtils, for the long
// fields Explain shows: they do 8 or 16 characters per step where the
// plain versions do one, on the path whose cost grows with the field.
// Each is called only when Sse2Present(); each does the whole steps it can
// and returns how many bytes it did, leaving the rest (and any error) to
// the plain version.

#include <cstddef>
#include <string_view>

bool Sse2Present() noexcept;

// WriteBinStr into UTF-16 characters: all of `bytes`.
size_t WriteBinStrSse2(std::string_view bytes, wchar_t* out) noexcept;

// WriteReversedHexStr into UTF-16 characters: the last bytes of `bytes`,
// in steps of 8, starting with the last one.
size_t WriteReversedHexStrSse2(std::string_view bytes, wchar_t* out) noexcept;

// WriteHexStrAsBytes: the pairs of `text` from the first one, in steps of 8
// pairs, up to the first step that holds a character that is not a hex
// digit.
size_t WriteHexStrAsBytesSse2(std::string_view text, char* out) noexcept;
