#include "util/PubUtils.h"

#include "util/Exception.h"

namespace {

constexpr size_t MaxInt64HexDigits = 16;
constexpr size_t MaxByteHexDigits = 2;
constexpr char HexDigits[] = "0123456789ABCDEF";

[[noreturn]] void RaiseInvalidHex(std::string_view text) {
    throw Exception("Invalid hex char string: " + std::string(text) + "!");
}

// The digit's value, or -1 for a character that is not a hex digit.
int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

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
    std::string result;
    result.reserve(bytes.size() * 2);
    for (char byte : bytes) result += ByteToHexStr(static_cast<uint8_t>(byte));
    return result;
}

std::string HexStrToStr(std::string_view text) {
    std::string result;
    result.reserve(text.size() / 2);
    for (size_t pair = 0; pair < text.size() / 2; ++pair)
        result.push_back(static_cast<char>(HexStrToByte(text.substr(pair * 2, 2))));
    if (text.size() % 2 != 0) throw Exception("Error, chars are odd as Two-byte combination\xA3\xA1");
    return result;
}

std::string StrToBinStr(std::string_view bytes) {
    std::string result;
    result.reserve(bytes.size() * 8);
    for (char byte : bytes)
        for (int bit = 7; bit >= 0; --bit) result.push_back((static_cast<uint8_t>(byte) >> bit) & 1 ? '1' : '0');
    return result;
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
