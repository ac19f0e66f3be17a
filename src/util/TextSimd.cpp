#include "util/TextSimd.h"

#include <windows.h>

#include <emmintrin.h>

#include <cstdint>

#define SSE2 __attribute__((target("sse2")))

namespace {

// The eight UTF-16 bit characters of each byte value, most significant first.
struct alignas(16) ByteBits {
    wchar_t bits[256][8];
    constexpr ByteBits() : bits{} {
        for (int value = 0; value < 256; ++value)
            for (int bit = 0; bit < 8; ++bit) bits[value][bit] = (value >> (7 - bit)) & 1 ? L'1' : L'0';
    }
};

// The upper-case hex digit of each half byte (0 to 15) of `nibbles`.
SSE2 __m128i HexDigitsOf(__m128i nibbles) {
    const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(nibbles, _mm_set1_epi8(9)), _mm_set1_epi8('A' - '0' - 10));
    return _mm_add_epi8(_mm_add_epi8(nibbles, _mm_set1_epi8('0')), letters);
}

// Signed byte comparison, low <= c <= high, for each byte of `c`.
SSE2 __m128i InRange(__m128i c, char low, char high) {
    return _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8(static_cast<char>(low - 1))),
                         _mm_cmplt_epi8(c, _mm_set1_epi8(static_cast<char>(high + 1))));
}

}  // namespace

bool Sse2Present() noexcept {
    static const bool present = IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != FALSE;
    return present;
}

SSE2 size_t WriteBinStrSse2(std::string_view bytes, wchar_t* out) noexcept {
    static constexpr ByteBits table;
    for (char byte : bytes) {
        const auto* row = reinterpret_cast<const __m128i*>(table.bits[static_cast<uint8_t>(byte)]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_load_si128(row));
        out += 8;
    }
    return bytes.size();
}

SSE2 size_t WriteReversedHexStrSse2(std::string_view bytes, wchar_t* out) noexcept {
    size_t remaining = bytes.size();
    for (; remaining >= 8; remaining -= 8, out += 16) {
        const __m128i in = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes.data() + remaining - 8));
        const __m128i high = HexDigitsOf(_mm_and_si128(_mm_srli_epi16(in, 4), _mm_set1_epi8(0x0F)));
        const __m128i low = HexDigitsOf(_mm_and_si128(in, _mm_set1_epi8(0x0F)));
        // The two digits of each byte as one 16-bit lane, the eight lanes
        // then put the other way round.
        __m128i pairs = _mm_unpacklo_epi8(high, low);
        pairs = _mm_shuffle_epi32(pairs, _MM_SHUFFLE(0, 1, 2, 3));
        pairs = _mm_shufflelo_epi16(pairs, _MM_SHUFFLE(2, 3, 0, 1));
        pairs = _mm_shufflehi_epi16(pairs, _MM_SHUFFLE(2, 3, 0, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(pairs, _mm_setzero_si128()));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(pairs, _mm_setzero_si128()));
    }
    return bytes.size() - remaining;
}

SSE2 size_t WriteHexStrAsBytesSse2(std::string_view text, char* out) noexcept {
    const size_t pairs = text.size() / 2;
    size_t done = 0;
    for (; done + 8 <= pairs; done += 8) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + done * 2));
        // Letters in either case: c | 0x20 is a to f for A to F and a to f only.
        const __m128i lower = _mm_or_si128(c, _mm_set1_epi8(0x20));
        const __m128i isDigit = InRange(c, '0', '9');
        const __m128i isLetter = InRange(lower, 'a', 'f');
        if (_mm_movemask_epi8(_mm_or_si128(isDigit, isLetter)) != 0xFFFF) break;
        const __m128i values = _mm_or_si128(_mm_and_si128(isDigit, _mm_sub_epi8(c, _mm_set1_epi8('0'))),
                                            _mm_and_si128(isLetter, _mm_sub_epi8(lower, _mm_set1_epi8('a' - 10))));
        // Each 16-bit lane holds a pair: its first digit in the low byte.
        const __m128i high = _mm_slli_epi16(_mm_and_si128(values, _mm_set1_epi16(0x00FF)), 4);
        const __m128i low = _mm_srli_epi16(values, 8);
        const __m128i bytes = _mm_packus_epi16(_mm_or_si128(high, low), _mm_setzero_si128());
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + done), bytes);
    }
    return done;
}
