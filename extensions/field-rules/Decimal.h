#pragma once
// Exact decimal numbers for the integer rules: a sign, a 128-bit magnitude
// and the count of digits after the point. Raw numbers of up to 64 bits
// times a scale, plus an offset, each as written in the rules file, are
// computed without binary rounding; every operation reports an overflow of
// the 128 bits instead of giving a wrong number.

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { DecimalLimbs = 4, DecimalMaxExponent = 38 };

typedef struct {
    uint32_t limbs[DecimalLimbs];  // the magnitude, least significant 32 bits first
    int exponent;                  // digits after the point: the value is magnitude / 10^exponent
    bool negative;                 // never set for a zero magnitude
} Decimal;

void DecimalFromUnsigned(uint64_t number, Decimal* value);
void DecimalFromSigned(int64_t number, Decimal* value);

// Reads a decimal number at the start of `text` as written: an optional
// sign, digits with an optional point, an optional exponent ("-273.0" has one
// digit after the point, "1e-3" three). Returns the end of the number, or
// NULL when none starts there or it does not fit.
const char* ReadExactDecimal(const char* text, Decimal* value);

bool DecimalIsZero(const Decimal* value);

// a + b, a - b and a x b, exactly; false when the result does not fit.
bool DecimalAdd(const Decimal* a, const Decimal* b, Decimal* sum);
bool DecimalSubtract(const Decimal* a, const Decimal* b, Decimal* difference);
bool DecimalMultiply(const Decimal* a, const Decimal* b, Decimal* product);

// -1, 0 or 1 as a is below, equal to or above b, whatever their exponents.
int DecimalCompare(const Decimal* a, const Decimal* b);

// Rounds to `exponent` digits after the point, half away from zero, when the
// value has more; a value with fewer keeps them.
void DecimalRound(Decimal* value, int exponent);

// The whole number nearest to a / b (halves away from zero); false when b is
// zero or the quotient does not fit.
bool DecimalDivideRounded(const Decimal* a, const Decimal* b, Decimal* quotient);

// The value's digits after the point without trailing zeros (0.10 has 1).
int DecimalSignificantExponent(const Decimal* value);

// A whole value (exponent 0 after rounding) as a sign and a 64-bit
// magnitude; false when it has a fraction or exceeds 64 bits.
bool DecimalToWhole(const Decimal* value, bool* negative, uint64_t* magnitude);

// The value with exactly `decimals` digits after the point, rounded half
// away from zero when it has more ("12.50", "-0.3"); zero has no sign.
void FormatDecimal(const Decimal* value, int decimals, char* out, size_t size);

#ifdef __cplusplus
}
#endif
