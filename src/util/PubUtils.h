#pragma once
// Stateless conversions between byte strings, hex text and bit text, and the
// reader of delimited fields. A byte string is a std::string whose characters
// are raw byte values, zero included. Hex text has two digits per byte, most
// significant first; it is read in either case and written in upper case.
// Bit text has eight characters 0 or 1 per byte, most significant bit first.
// Failures raise Exception with one of two messages.

#include <cstdint>
#include <string>
#include <string_view>

// 1 to 16 hex digits as a 64-bit two's complement pattern (FFFFFFFFFFFFFFFF is -1).
int64_t HexStrToInt64(std::string_view text);

// Exactly two upper-case hex digits.
std::string ByteToHexStr(uint8_t value);

// 1 or 2 hex digits as one byte.
uint8_t HexStrToByte(std::string_view text);

std::string ReverseStr(std::string_view bytes);

std::string StrToHexStr(std::string_view bytes);

// Every pair of hex digits as one byte. A bad pair is reported before an odd
// length, and the last digit of an odd text is never examined.
std::string HexStrToStr(std::string_view text);

std::string StrToBinStr(std::string_view bytes);

// The same conversions into a caller's buffer of exactly the right length:
// 2 hex digits or 8 bit characters per byte, one byte per pair of hex
// digits. Hex text and bit text are ASCII, the same in every code page, so
// they are also written as UTF-16, straight into a text for the host.
void WriteHexStr(std::string_view bytes, char* out);
void WriteHexStr(std::string_view bytes, wchar_t* out);
// StrToHexStr(ReverseStr(bytes)).
void WriteReversedHexStr(std::string_view bytes, char* out);
void WriteReversedHexStr(std::string_view bytes, wchar_t* out);
void WriteBinStr(std::string_view bytes, char* out);
void WriteBinStr(std::string_view bytes, wchar_t* out);
// HexStrToStr into out[0 .. text.size() / 2), with its failures.
void WriteHexStrAsBytes(std::string_view text, char* out);

// Field number `index` (from 0) of `text` cut at `delimiter`, unchanged. A
// negative index gives an empty text; an index past the last field gives the
// last field, except for a text without delimiters, which has field 0 only.
std::string GetDelimitedField(std::string_view text, int32_t index, char delimiter);
