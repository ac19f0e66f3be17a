#include "util/PubUtils.h"

#include "util/Exception.h"
#include "util/TextSimd.h"

#include <array>
#include <cstring>

namespace {

constexpr size_t MaxInt64HexDigits = 16;
constexpr size_t MaxByteHexDigits = 2;
constexpr char HexDigits[] = "0123456789ABCDEF";

[[noreturn]] void RaiseInvalidHex(std::string_view text) {
    throw Exception("Invalid hex char string: " + std::string(text) + "!");
}

// The digit's value, or -1 for a character that is not a hex digit.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Hex and bit texts are made and read through tables: these conversions run
// on every character of every field that Explain shows.
constexpr std::array<int8_t, 256> HexDigitValues = [] {
    std::array<int8_t, 256> values{};
    for (int c = 0; c < 256; ++c)
        values[static_cast<size_t>(c)] = static_cast<int8_t>(HexDigitValue(static_cast<char>(c)));
    return values;
}();

// The two hex digits of each byte value, most significant first.
template <typename Char>
struct ByteHexDigits {
    Char digits[256][2];
    constexpr ByteHexDigits() : digits{} {
        for (int value = 0; value < 256; ++value) {
            digits[value][0] = static_cast<Char>(HexDigits[value >> 4]);
            digits[value][1] = static_cast<Char>(HexDigits[value & 0x0F]);
        }
    }
};

template <typename Char>
void WriteHexDigits(char byte, Char* out) {
    static constexpr ByteHexDigits<Char> table;
    std::memcpy(out, table.digits[static_cast<uint8_t>(byte)], sizeof table.digits[0]);
}

template <typename Char>
void WriteHex(std::string_view bytes, Char* out) {
    for (char byte : bytes) {
        WriteHexDigits(byte, out);
        out += 2;
    }
}

template <typename Char>
void WriteReversedHex(std::string_view bytes, Char* out) {
    for (auto byte = bytes.rbegin(); byte != bytes.rend(); ++byte) {
        WriteHexDigits(*byte, out);
        out += 2;
    }
}

// The four bit characters of each value of a half byte, most significant first.
template <typename Char>
struct NibbleBits {
    Char bits[16][4];
    constexpr NibbleBits() : bits{} {
        for (int nibble = 0; nibble < 16; ++nibble)
            for (int bit = 0; bit < 4; ++bit) bits[nibble][bit] = (nibble >> (3 - bit)) & 1 ? Char('1') : Char('0');
    }
};

template <typename Char>
void WriteBin(std::string_view bytes, Char* out) {
    static constexpr NibbleBits<Char> table;
    for (char byte : bytes) {
        const auto value = static_cast<uint8_t>(byte);
        std::memcpy(out, table.bits[value >> 4], sizeof table.bits[0]);
        std::memcpy(out + 4, table.bits[value & 0x0F], sizeof table.bits[0]);
        out += 8;
    }
}

// The SSE2 versions work in steps of 8 bytes; a short field is done before
// they would have started.
bool UseSse2(size_t bytes) { return bytes >= 8 && Sse2Present(); }

}  // namespace

int64_t HexStrToInt64(std::string_view text) {
    if (text.empty() || text.size() > MaxInt64HexDigits) RaiseInvalidHex(text);
    uint64_t accumulator = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) RaiseInvalidHex(text);
        accumulator = (accumulator << 4) | static_cast<uint64_t>(digit);
    }
    return static_cast<int64_t>(accumulator);
}

std::string ByteToHexStr(uint8_t value) {
    return {HexDigits[value >> 4], HexDigits[value & 0x0F]};
}

uint8_t HexStrToByte(std::string_view text) {
    if (text.empty() || text.size() > MaxByteHexDigits) RaiseInvalidHex(text);
    const int64_t value = HexStrToInt64(text);
    if (value < 0 || value > 255) RaiseInvalidHex(text);
    return static_cast<uint8_t>(value);
}

std::string ReverseStr(std::string_view bytes) {
    return {bytes.rbegin(), bytes.rend()};
}

std::string StrToHexStr(std::string_view bytes) {
    std::string result(bytes.size() * 2, '\0');
    WriteHexStr(bytes, result.data());
    return result;
}

std::string HexStrToStr(std::string_view text) {
    std::string result(text.size() / 2, '\0');
    WriteHexStrAsBytes(text, result.data());
    return result;
}

std::string StrToBinStr(std::string_view bytes) {
    std::string result(bytes.size() * 8, '\0');
    WriteBinStr(bytes, result.data());
    return result;
}

void WriteHexStr(std::string_view bytes, char* out) { WriteHex(bytes, out); }
void WriteHexStr(std::string_view bytes, wchar_t* out) { WriteHex(bytes, out); }
void WriteReversedHexStr(std::string_view bytes, char* out) { WriteReversedHex(bytes, out); }
void WriteReversedHexStr(std::string_view bytes, wchar_t* out) {
    const size_t done = UseSse2(bytes.size()) ? WriteReversedHexStrSse2(bytes, out) : 0;
    WriteReversedHex(bytes.substr(0, bytes.size() - done), out + done * 2);
}
void WriteBinStr(std::string_view bytes, char* out) { WriteBin(bytes, out); }
void WriteBinStr(std::string_view bytes, wchar_t* out) {
    const size_t done = UseSse2(bytes.size()) ? WriteBinStrSse2(bytes, out) : 0;
    WriteBin(bytes.substr(done), out + done * 8);
}

void WriteHexStrAsBytes(std::string_view text, char* out) {
    const size_t done = UseSse2(text.size() / 2) ? WriteHexStrAsBytesSse2(text, out) : 0;
    for (size_t pair = done; pair < text.size() / 2; ++pair) {
        const int high = HexDigitValues[static_cast<uint8_t>(text[pair * 2])];
        const int low = HexDigitValues[static_cast<uint8_t>(text[pair * 2 + 1])];
        if ((high | low) < 0) RaiseInvalidHex(text.substr(pair * 2, 2));
        out[pair] = static_cast<char>(high << 4 | low);
    }
    if (text.size() % 2 != 0) throw Exception("Error, chars are odd as Two-byte combination\xA3\xA1");
}

std::string GetDelimitedField(std::string_view text, int32_t index, char delimiter) {
    if (index < 0) return {};
    int32_t delimitersPassed = 0;
    size_t fieldStart = 0;
    for (size_t position = 0; position < text.size(); ++position) {
        if (text[position] != delimiter) continue;
        if (delimitersPassed == index) return std::string(text.substr(fieldStart, position - fieldStart));
        ++delimitersPassed;
        fieldStart = position + 1;
    }
    // The end of the text came before the field was closed.
    if (delimitersPassed == 0) return index == 0 ? std::string(text) : std::string();
    return std::string(text.substr(fieldStart));
}
