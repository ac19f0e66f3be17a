// Exact decimal arithmetic on a 128-bit magnitude held as four 32-bit limbs,
// so that every step needs no more than the 64-bit products and quotients
// that a 32-bit processor's runtime provides.
#include "Decimal.h"

#include <stdio.h>
#include <string.h>

typedef uint32_t Magnitude[DecimalLimbs];

static const uint32_t PowersOfTen[10] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000,
                                         1000000000};

static bool MagnitudeIsZero(const Magnitude m) { return (m[0] | m[1] | m[2] | m[3]) == 0; }

static int CompareMagnitudes(const Magnitude a, const Magnitude b) {
    for (int i = DecimalLimbs; i-- > 0;)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

// m = m x factor + addend; false on overflow (m is then undefined).
static bool MultiplySmall(Magnitude m, uint32_t factor, uint32_t addend) {
    uint64_t carry = addend;
    for (int i = 0; i < DecimalLimbs; ++i) {
        carry += (uint64_t)m[i] * factor;
        m[i] = (uint32_t)carry;
        carry >>= 32;
    }
    return carry == 0;
}

// m = m / divisor; returns the remainder.
static uint32_t DivideSmall(Magnitude m, uint32_t divisor) {
    uint64_t remainder = 0;
    for (int i = DecimalLimbs; i-- > 0;) {
        const uint64_t part = remainder << 32 | m[i];
        m[i] = (uint32_t)(part / divisor);
        remainder = part % divisor;
    }
    return (uint32_t)remainder;
}

static bool MultiplyByPowerOfTen(Magnitude m, int power) {
    for (; power > 0; power -= 9)
        if (!MultiplySmall(m, PowersOfTen[power < 9 ? power : 9], 0)) return false;
    return true;
}

static bool AddMagnitudes(const Magnitude a, const Magnitude b, Magnitude sum) {
    uint64_t carry = 0;
    for (int i = 0; i < DecimalLimbs; ++i) {
        carry += (uint64_t)a[i] + b[i];
        sum[i] = (uint32_t)carry;
        carry >>= 32;
    }
    return carry == 0;
}

// difference = a - b, for a >= b.
static void SubtractMagnitudes(const Magnitude a, const Magnitude b, Magnitude difference) {
    uint64_t borrow = 0;
    for (int i = 0; i < DecimalLimbs; ++i) {
        const uint64_t part = (uint64_t)a[i] - b[i] - borrow;
        difference[i] = (uint32_t)part;
        borrow = part >> 63;
    }
}

static void SetZero(Decimal* value) { memset(value, 0, sizeof *value); }

void DecimalFromUnsigned(uint64_t number, Decimal* value) {
    SetZero(value);
    value->limbs[0] = (uint32_t)number;
    value->limbs[1] = (uint32_t)(number >> 32);
}

void DecimalFromSigned(int64_t number, Decimal* value) {
    DecimalFromUnsigned(number < 0 ? 0 - (uint64_t)number : (uint64_t)number, value);
    value->negative = number < 0;
}

bool DecimalIsZero(const Decimal* value) { return MagnitudeIsZero(value->limbs); }

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The exponent written after 'e' (at most 3 digits are meaningful here).
static const char* ReadExponent(const char* text, int* exponent) {
    *exponent = 0;
    if (*text != 'e' && *text != 'E') return text;
    const char* c = text + 1;
    const bool negative = *c == '-';
    c += *c == '+' || *c == '-';
    if (!IsDigit(*c)) return text;  // an 'e' without digits is not part of the number
    int magnitude = 0;
    for (; IsDigit(*c); ++c)
        if (magnitude < 1000) magnitude = magnitude * 10 + (*c - '0');
    *exponent = negative ? -magnitude : magnitude;
    return c;
}

const char* ReadExactDecimal(const char* text, Decimal* value) {
    SetZero(value);
    const char* c = text;
    const bool negative = *c == '-';
    c += *c == '+' || *c == '-';
    size_t digits = 0;
    int fraction = 0;
    for (bool point = false;; ++c) {
        if (*c == '.' && !point) {
            point = true;
            continue;
        }
        if (!IsDigit(*c)) break;
        ++digits;
        fraction += point;
        if (!MultiplySmall(value->limbs, 10, (uint32_t)(*c - '0'))) return NULL;
    }
    if (digits == 0) return NULL;
    int exponent;
    c = ReadExponent(c, &exponent);
    int digitsAfterPoint = fraction - exponent;
    if (digitsAfterPoint < 0) {
        if (!MultiplyByPowerOfTen(value->limbs, -digitsAfterPoint)) return NULL;
        digitsAfterPoint = 0;
    }
    if (digitsAfterPoint > DecimalMaxExponent) return NULL;
    value->exponent = digitsAfterPoint;
    value->negative = negative && !MagnitudeIsZero(value->limbs);
    return c;
}

// Both values' magnitudes at the larger of their exponents; false when one does not fit.
static bool Aligned(const Decimal* a, const Decimal* b, Magnitude alignedA, Magnitude alignedB, int* exponent) {
    memcpy(alignedA, a->limbs, sizeof(Magnitude));
    memcpy(alignedB, b->limbs, sizeof(Magnitude));
    *exponent = a->exponent > b->exponent ? a->exponent : b->exponent;
    return MultiplyByPowerOfTen(alignedA, *exponent - a->exponent) &&
           MultiplyByPowerOfTen(alignedB, *exponent - b->exponent);
}

static bool AddSigned(const Decimal* a, const Decimal* b, bool bNegative, Decimal* sum) {
    Magnitude x, y;
    int exponent;
    if (!Aligned(a, b, x, y, &exponent)) return false;
    Decimal result;
    SetZero(&result);
    result.exponent = exponent;
    if (a->negative == bNegative) {
        if (!AddMagnitudes(x, y, result.limbs)) return false;
        result.negative = a->negative;
    } else if (CompareMagnitudes(x, y) >= 0) {
        SubtractMagnitudes(x, y, result.limbs);
        result.negative = a->negative;
    } else {
        SubtractMagnitudes(y, x, result.limbs);
        result.negative = bNegative;
    }
    result.negative = result.negative && !MagnitudeIsZero(result.limbs);
    *sum = result;
    return true;
}

bool DecimalAdd(const Decimal* a, const Decimal* b, Decimal* sum) { return AddSigned(a, b, b->negative, sum); }

bool DecimalSubtract(const Decimal* a, const Decimal* b, Decimal* difference) {
    return AddSigned(a, b, !b->negative && !DecimalIsZero(b), difference);
}

bool DecimalMultiply(const Decimal* a, const Decimal* b, Decimal* product) {
    uint32_t wide[2 * DecimalLimbs] = {0};
    for (int i = 0; i < DecimalLimbs; ++i) {
        if (a->limbs[i] == 0) continue;
        uint64_t carry = 0;
        for (int j = 0; j < DecimalLimbs; ++j) {
            carry += (uint64_t)a->limbs[i] * b->limbs[j] + wide[i + j];
            wide[i + j] = (uint32_t)carry;
            carry >>= 32;
        }
        wide[i + DecimalLimbs] = (uint32_t)carry;
    }
    for (int i = DecimalLimbs; i < 2 * DecimalLimbs; ++i)
        if (wide[i]) return false;
    if (a->exponent + b->exponent > DecimalMaxExponent) return false;
    Decimal result;
    memcpy(result.limbs, wide, sizeof result.limbs);
    result.exponent = a->exponent + b->exponent;
    result.negative = a->negative != b->negative && !MagnitudeIsZero(result.limbs);
    *product = result;
    return true;
}

int DecimalCompare(const Decimal* a, const Decimal* b) {
    if (a->negative != b->negative) return a->negative ? -1 : 1;
    const int sign = a->negative ? -1 : 1;
    Magnitude x, y;
    int exponent;
    if (!Aligned(a, b, x, y, &exponent)) {
        // The one scaled up overflowed: its magnitude is beyond the other's.
        const bool aScaled = a->exponent < b->exponent;
        return (aScaled ? 1 : -1) * sign;
    }
    return CompareMagnitudes(x, y) * sign;
}

// m / 10^power, halves rounded up (the magnitude's halves are away from zero).
static void DivideByPowerOfTenRounded(Magnitude m, int power) {
    for (; power > 10; power -= 9) DivideSmall(m, PowersOfTen[9]);
    if (power > 1) DivideSmall(m, PowersOfTen[power - 1]);
    // Only the highest digit dropped decides a rounding half away from zero.
    if (power > 0 && DivideSmall(m, 10) >= 5) MultiplySmall(m, 1, 1);
}

void DecimalRound(Decimal* value, int exponent) {
    if (exponent < 0) exponent = 0;
    if (value->exponent <= exponent) return;
    DivideByPowerOfTenRounded(value->limbs, value->exponent - exponent);
    value->exponent = exponent;
    value->negative = value->negative && !MagnitudeIsZero(value->limbs);
}

static void ShiftLeftOne(Magnitude m, uint32_t lowBit) {
    for (int i = DecimalLimbs; i-- > 0;) m[i] = m[i] << 1 | (i ? m[i - 1] >> 31 : lowBit);
}

static unsigned BitAt(const Magnitude m, int bit) { return m[bit / 32] >> (bit % 32) & 1; }

// quotient = dividend / divisor, bit by bit; remainder what is left.
static void DivideMagnitudes(const Magnitude dividend, const Magnitude divisor, Magnitude quotient,
                             Magnitude remainder) {
    memset(quotient, 0, sizeof(Magnitude));
    memset(remainder, 0, sizeof(Magnitude));
    for (int bit = 32 * DecimalLimbs; bit-- > 0;) {
        const bool carried = remainder[DecimalLimbs - 1] >> 31;
        ShiftLeftOne(remainder, BitAt(dividend, bit));
        ShiftLeftOne(quotient, 0);
        if (carried || CompareMagnitudes(remainder, divisor) >= 0) {
            SubtractMagnitudes(remainder, divisor, remainder);
            quotient[0] |= 1;
        }
    }
}

bool DecimalDivideRounded(const Decimal* a, const Decimal* b, Decimal* quotient) {
    if (DecimalIsZero(b)) return false;
    // a / b = (a's magnitude x 10^b's exponent) / (b's magnitude x 10^a's exponent): the
    // common power of ten is taken off first.
    Magnitude dividend, divisor;
    memcpy(dividend, a->limbs, sizeof dividend);
    memcpy(divisor, b->limbs, sizeof divisor);
    const int common = a->exponent < b->exponent ? a->exponent : b->exponent;
    if (!MultiplyByPowerOfTen(dividend, b->exponent - common)) return false;
    if (!MultiplyByPowerOfTen(divisor, a->exponent - common)) return false;
    Decimal result;
    SetZero(&result);
    Magnitude remainder, rest;
    DivideMagnitudes(dividend, divisor, result.limbs, remainder);
    SubtractMagnitudes(divisor, remainder, rest);
    if (CompareMagnitudes(remainder, rest) >= 0 && !MultiplySmall(result.limbs, 1, 1)) return false;
    result.negative = a->negative != b->negative && !MagnitudeIsZero(result.limbs);
    *quotient = result;
    return true;
}

int DecimalSignificantExponent(const Decimal* value) {
    Magnitude m;
    memcpy(m, value->limbs, sizeof m);
    int exponent = value->exponent;
    while (exponent > 0) {
        Magnitude quotient;
        memcpy(quotient, m, sizeof m);
        if (DivideSmall(quotient, 10) != 0) break;
        memcpy(m, quotient, sizeof m);
        --exponent;
    }
    return exponent;
}

bool DecimalToWhole(const Decimal* value, bool* negative, uint64_t* magnitude) {
    if (value->exponent != 0 || value->limbs[2] || value->limbs[3]) return false;
    *negative = value->negative;
    *magnitude = (uint64_t)value->limbs[1] << 32 | value->limbs[0];
    return true;
}

// The magnitude's decimal digits, at least `minimum` of them (zeros in front).
static size_t MagnitudeDigits(const Magnitude magnitude, size_t minimum, char digits[64]) {
    Magnitude m;
    memcpy(m, magnitude, sizeof m);
    char reversed[64];
    size_t count = 0;
    do reversed[count++] = (char)('0' + DivideSmall(m, 10));
    while (!MagnitudeIsZero(m));
    while (count < minimum && count < sizeof reversed) reversed[count++] = '0';
    for (size_t i = 0; i < count; ++i) digits[i] = reversed[count - 1 - i];
    return count;
}

void FormatDecimal(const Decimal* value, int decimals, char* out, size_t size) {
    Decimal rounded = *value;
    if (decimals < 0) decimals = 0;
    DecimalRound(&rounded, decimals);
    char digits[64];
    const size_t count = MagnitudeDigits(rounded.limbs, (size_t)rounded.exponent + 1, digits);
    const size_t whole = count - (size_t)rounded.exponent;
    char text[128];
    size_t length = 0;
    if (rounded.negative) text[length++] = '-';
    memcpy(text + length, digits, whole);
    length += whole;
    if (decimals > 0) {
        text[length++] = '.';
        memcpy(text + length, digits + whole, (size_t)rounded.exponent);
        length += (size_t)rounded.exponent;
        memset(text + length, '0', (size_t)(decimals - rounded.exponent));
        length += (size_t)(decimals - rounded.exponent);
    }
    text[length] = '\0';
    snprintf(out, size, "%s", text);
}
